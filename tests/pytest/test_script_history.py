# SPDX-License-Identifier: GPL-2.0-or-later
"""The history list read straight from dnf's database is the one libdnf's
own objects give (the way the script falls back to)."""

import subprocess

from script_support import sandbox, script_module


def test_database_read_as_libdnf_reads_it(make_root, make_yumio, script):
    root = make_root()
    for args in (("install", "ember"), ("upgrade", "aurora"), ("reinstall", "granite"),
                 ("remove", "ember")):
        subprocess.run(sandbox.dnf_command(root, *args), check=True, stdout=subprocess.DEVNULL)
    history = script_module("YumIOHistory")
    yumio = make_yumio(root)
    listed = yumio.historyTransactions()
    assert [row[3] for row in listed] == ["Removed", "R", "Upgrade", "Install", "Install"]
    assert listed == history._fromHistory(yumio.history)
