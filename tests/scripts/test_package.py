#!/usr/bin/env python3
"""The Debian package, where dpkg-deb exists: CPack builds it from the build; its version is the project's, its program
is in /usr/games, its dependencies come from the linked libraries (plus Debian's two font packages, which its fonts link
to), it has no maintainer scripts; lintian reports no error, desktop-file-validate and appstreamcli pass its desktop
entry and AppStream file. A sanitizer build is not packaged."""
import glob
import os
import re
import shutil
import subprocess
import tempfile

from driver import check, folders

APP_ID = "com.example.royalexpedition"
source, build = folders()


def run(*command, cwd=None):
    r = subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=600)
    check(r.returncode == 0, "%s: %s%s" % (" ".join(command), r.stdout, r.stderr))
    return r.stdout


tools = ("dpkg-deb", "cpack", "lintian", "desktop-file-validate", "appstreamcli")
cache = open(os.path.join(build, "CMakeCache.txt")).read()
if not all(shutil.which(t) for t in tools):
    print("not checked: missing %s" % [t for t in tools if not shutil.which(t)])
elif re.search(r"^RE_(SANITIZE|TSAN):BOOL=ON$", cache, re.M):
    print("not checked: a sanitizer build is not packaged")
else:
    with tempfile.TemporaryDirectory() as tmp:
        run("cpack", "-G", "DEB", "-B", tmp, "--config", os.path.join(build, "CPackConfig.cmake"))
        debs = glob.glob(os.path.join(tmp, "*.deb"))
        check(len(debs) == 1, "one package: %r" % debs)
        deb = debs[0]
        version = re.search(r"project\(RoyalExpedition VERSION ([0-9.]+)", open(os.path.join(source, "CMakeLists.txt")).read()).group(1)
        fields = dict(line.split(": ", 1) for line in run("dpkg-deb", "-f", deb, "Package", "Version", "Depends").splitlines())
        check(fields.get("Package") == "royal-expedition" and fields.get("Version") == version, "name and version: %r" % fields)
        depends = fields.get("Depends", "")
        check(all(d in depends for d in ("libc6", "libsdl2-2.0-0", "libplist", "fonts-dotgothic16", "fonts-wqy-microhei")),
              "dependencies from the linked libraries: %r" % depends)
        control = os.path.join(tmp, "control")
        run("dpkg-deb", "-e", deb, control)
        check(sorted(os.listdir(control)) == ["control", "md5sums"], "no maintainer scripts: %r" % os.listdir(control))

        root = os.path.join(tmp, "root")
        run("dpkg-deb", "-x", deb, root)
        check(os.access(os.path.join(root, "usr", "games", "royal-expedition"), os.X_OK), "the program in /usr/games")
        fonts = os.path.join(root, "usr", "share", "royal-expedition", "fonts")
        for font in os.listdir(fonts):
            link = os.path.join(fonts, font)
            target = os.readlink(link) if os.path.islink(link) else ""
            check(target.startswith("../") and os.path.isfile(os.path.normpath(os.path.join("/usr/share/royal-expedition/fonts", target))),
                  "%s links to Debian's font: %r" % (font, target))
        run("desktop-file-validate", os.path.join(root, "usr", "share", "applications", APP_ID + ".desktop"))
        metainfo = os.path.join(root, "usr", "share", "metainfo", APP_ID + ".metainfo.xml")
        run("appstreamcli", "validate", "--no-net", metainfo)
        check('<release version="%s"' % version in open(metainfo).read(), "release notes for %s" % version)
        changelog = run("sh", "-c", "zcat '%s'" % os.path.join(root, "usr", "share", "doc", "royal-expedition", "changelog.gz"))
        check(changelog.startswith("royal-expedition (%s)" % version), "the changelog's newest entry is %s" % version)

        report = subprocess.run(["lintian", "--no-cfg", deb], capture_output=True, text=True, timeout=600)
        print(report.stdout, end="")
        errors = [line for line in report.stdout.splitlines() if line.startswith("E:")]
        check(not errors and "error" not in report.stderr.lower(), "lintian: %r %s" % (errors, report.stderr))
