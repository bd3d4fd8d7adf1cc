# Resources: the source folder resources/ is copied as it is; pictures and sounds are
# generated from their readable sources (art/, audio/) by the tools of tools/.
add_custom_target(resources_copy ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RE_RESOURCE_DIR}
  # A layout or table removed from the sources must not live on in the build (a stale variant
  # would still be chosen).
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${RE_RESOURCE_DIR}/layouts ${RE_RESOURCE_DIR}/strings ${RE_RESOURCE_DIR}/tables
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources ${RE_RESOURCE_DIR}
  COMMENT "Copying resources")

# Fonts come from Debian's packages and are copied under the names the game asks for.
set(RE_FONT_DOT /usr/share/fonts/truetype/dotgothic16/DotGothic16-Regular.ttf)
set(RE_FONT_SYSTEM /usr/share/fonts/truetype/wqy/wqy-microhei.ttc)
add_custom_target(resources_fonts ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RE_RESOURCE_DIR}/fonts
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${RE_FONT_DOT} ${RE_RESOURCE_DIR}/fonts/GD-DOTFONT-DQ-TTF.ttf
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${RE_FONT_SYSTEM} ${RE_RESOURCE_DIR}/fonts/SystemFont.ttc
  COMMENT "Copying fonts")

add_custom_target(resources ALL DEPENDS resources_copy resources_fonts)

# Generated pictures and sounds hang their targets on `resources` from their own files.
foreach(gen art audio)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${gen}/CMakeLists.txt)
    add_subdirectory(${gen})
  endif()
endforeach()
