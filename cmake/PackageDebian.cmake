# Run by CPack after it has installed the game into its staging folder, to give the package
# Debian's layout: the program goes to /usr/games (it still finds ../share/royal-expedition),
# and the copied fonts become relative links to the same files of Debian's font packages, which
# the package depends on.
file(GLOB staged_programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/royal-expedition")
foreach(program ${staged_programs})
  get_filename_component(bin "${program}" DIRECTORY)
  get_filename_component(prefix "${bin}" DIRECTORY)
  file(MAKE_DIRECTORY "${prefix}/games")
  file(RENAME "${program}" "${prefix}/games/royal-expedition")
  file(REMOVE_RECURSE "${bin}")
endforeach()

file(GLOB_RECURSE staged_fonts LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/share/royal-expedition/fonts/*")
foreach(link ${CPACK_RE_FONT_LINKS})
  string(REPLACE "=" ";" pair "${link}")
  list(GET pair 0 name)
  list(GET pair 1 target)
  foreach(staged ${staged_fonts})
    if(staged MATCHES "/share/royal-expedition/${name}$")
      get_filename_component(folder "${staged}" DIRECTORY)
      string(REGEX REPLACE ".*(/share/royal-expedition/fonts)$" "${CPACK_PACKAGING_INSTALL_PREFIX}\\1" installed "${folder}")
      file(RELATIVE_PATH relative "${installed}" "${target}")
      file(REMOVE "${staged}")
      file(CREATE_LINK "${relative}" "${staged}" SYMBOLIC)
      message(STATUS "font link: ${name} -> ${relative}")
    endif()
  endforeach()
endforeach()
