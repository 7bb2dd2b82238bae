# SPDX-License-Identifier: GPL-2.0-or-later
"""What the installation tests share: the build's paths and the checks of an
installed tree, run on a staging directory and on an RPM installed into a
sandbox root alike."""

import configparser
import os
import re
import struct
import subprocess
import xml.etree.ElementTree as ET

BINARY_DIR = os.environ["VUX_BINARY_DIR"]
SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
VERSION = os.environ["VUX_VERSION"]
APP_ID = os.environ["VUX_APP_ID"]
HOMEPAGE = os.environ["VUX_HOMEPAGE"]
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def expected_files(prefix):
    """Files (not directories) a complete installation under prefix holds,
    relative to the root, manuals aside."""
    share = prefix + "/share"
    files = {prefix + "/bin/vux",
             share + "/vux/python/yum/__init__.py",
             share + "/vux/python/yum/Errors.py",
             share + "/vux/pixmaps/vux.icon.png",
             share + "/applications/%s.desktop" % APP_ID,
             share + "/metainfo/%s.metainfo.xml" % APP_ID,
             share + "/polkit-1/actions/%s.policy" % APP_ID,
             share + "/icons/hicolor/scalable/apps/%s.svg" % APP_ID,
             share + "/man/man1/vux.1",
             share + "/doc/vux-%s/README.md" % VERSION}
    files |= {share + "/icons/hicolor/%dx%d/apps/%s.png" % (s, s, APP_ID) for s in ICON_SIZES}
    # The companion script: YumIO.py and every module beside it.
    files |= {share + "/vux/python/" + name
              for name in os.listdir(os.path.join(SOURCE_DIR, "share", "python"))
              if name.endswith(".py")}
    return files


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])


def check_tree(root, prefix):
    """Checks the installation under root (a staging directory or a sandbox
    root) of a build configured for prefix. Returns the installed files."""
    installed = set()
    for top, dirs, files in os.walk(root + prefix):
        assert "__pycache__" not in dirs, top
        for name in files:
            path = os.path.join(top, name)
            relative = "/" + os.path.relpath(path, root)
            installed.add(relative)
            mode = os.stat(path).st_mode & 0o777
            assert mode & 0o444 == 0o444, "%s is not readable by all" % relative
            assert not mode & 0o022, "%s is writable by others" % relative
    missing = expected_files(prefix) - installed
    assert not missing, "not installed: %s" % sorted(missing)
    share = root + prefix + "/share"
    binary = prefix + "/bin/vux"
    assert os.access(root + binary, os.X_OK)

    # The program looks for its share directory where it was installed (a
    # UTF-16 literal in the program).
    with open(root + binary, "rb") as f:
        assert (prefix + "/share/vux").encode("utf-16-le") in f.read()

    # Menu entry: validated, started through pkexec on the installed program.
    desktop = "%s/applications/%s.desktop" % (share, APP_ID)
    result = run(["desktop-file-validate", desktop])
    assert result.returncode == 0 and not result.stdout.strip(), result.stdout + result.stderr
    entry = configparser.ConfigParser(interpolation=None, strict=False)
    entry.optionxform = str
    entry.read(desktop, encoding="utf-8")
    assert entry["Desktop Entry"]["Exec"] == "pkexec " + binary
    assert entry["Desktop Entry"]["Icon"] == APP_ID
    assert entry["Desktop Action browse"]["Exec"] == binary

    metainfo = "%s/metainfo/%s.metainfo.xml" % (share, APP_ID)
    result = run(["appstreamcli", "validate", "--no-net", metainfo])
    assert result.returncode == 0, result.stdout + result.stderr
    component = ET.parse(metainfo).getroot()
    assert component.find("launchable").text == APP_ID + ".desktop"
    assert component.find("releases/release").get("version") == VERSION
    assert component.find("screenshots/screenshot/image").text.startswith(HOMEPAGE)
    assert component.find("url[@type='homepage']").text == HOMEPAGE

    # polkit: well-formed, valid against polkit's DTD where polkit is
    # installed, and naming the installed program with a display allowed.
    policy = "%s/polkit-1/actions/%s.policy" % (share, APP_ID)
    command = ["xmllint", "--noout"]
    dtd = "/usr/share/polkit-1/policyconfig-1.dtd"
    if os.path.exists(dtd):
        command += ["--dtdvalid", dtd]
    result = run(command + [policy])
    assert result.returncode == 0, result.stderr
    assert ET.parse(policy).getroot().find("vendor_url").text == HOMEPAGE
    annotations = {a.get("key"): a.text for a in ET.parse(policy).getroot().iter("annotate")}
    assert annotations == {"org.freedesktop.policykit.exec.path": binary,
                           "org.freedesktop.policykit.exec.allow_gui": "true"}

    for size in ICON_SIZES:
        path = "%s/icons/hicolor/%dx%d/apps/%s.png" % (share, size, size, APP_ID)
        assert png_size(path) == (size, size)
    ET.parse("%s/icons/hicolor/scalable/apps/%s.svg" % (share, APP_ID))
    return installed


def usage_options():
    """Every option the usage text names (-h, --help, --enablerepo=, ...)."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    result = run([os.path.join(BINARY_DIR, "vux"), "--help"], env=env, timeout=60)
    assert result.returncode == 1 and result.stdout.startswith("usage: vux"), result
    options = re.findall(r"(?<![\w-])(--?[A-Za-z][\w-]*=?)", result.stdout)
    return sorted(set(options))


def render_manual(path):
    """The manual page as plain text, with groff's warnings."""
    result = run(["groff", "-man", "-Tutf8", "-ww", "-P", "-cbou", path],
                 env=dict(os.environ, LC_ALL="C.UTF-8"))
    assert result.returncode == 0, result.stderr
    return result.stdout.replace("\u2010", "-").replace("\u2212", "-"), result.stderr
