# SPDX-License-Identifier: GPL-2.0-or-later
"""cmake/check-layer-includes.py, which the build runs over every layer file:
an include of a higher layer fails with its place and the rule; includes of
the same or a lower layer, bare names and outside headers pass."""

import os
import subprocess
import sys

import pytest

CHECK = os.path.join(os.path.dirname(__file__), "..", "..", "cmake", "check-layer-includes.py")
LAYERS = "base,widgets,python,log,progress,yumio,repo,packagetable,app"


@pytest.mark.parametrize("path, line, refused", [
    ("widgets/A.cpp", '#include "app/MainWindow.h"', "widgets/ may use only: base"),
    ("base/A.h", "#include <widgets/HMenu.h>", "base/ may use only: no other layer"),
    ("python/A.cpp", '  #  include "yumio/YumIO.h"', "python/ may use only: base, widgets"),
    ("app/A.cpp", '#include "base/Colors.h"', None),
    ("yumio/A.cpp", '#include "yumio/YumIO.h"', None),
    ("repo/A.cpp", '#include "moc_A.cpp"', None),
    ("log/A.cpp", "#include <QString>", None),
])
def test_include_rule(tmp_path, path, line, refused):
    source = tmp_path / path
    source.parent.mkdir()
    source.write_text("// first line\n" + line + "\n")
    files = tmp_path / "files.txt"
    files.write_text(str(source))
    result = subprocess.run([sys.executable, CHECK, str(tmp_path), LAYERS, str(files)],
                            capture_output=True, text=True)
    if refused is None:
        assert (result.returncode, result.stderr) == (0, "")
    else:
        assert result.returncode == 1
        assert result.stderr.startswith(f"{path}:2: error: #include ")
        assert refused in result.stderr
