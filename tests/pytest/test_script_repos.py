# SPDX-License-Identifier: GPL-2.0-or-later
"""setupRepos(): the progress acts per repository."""

import pytest

from script_support import progress_blocks


def check_acts(calls, downloads):
    """Per repository: the meters of its downloads (files named in downloads),
    then the convert and read acts."""
    blocks = progress_blocks(calls)
    assert [repoid for repoid, _block in blocks] == ["base", "updates"]
    for repoid, block in blocks:
        starts = [call for call in block if call[0] == "collectGrabMeterStart"]
        files = [basename for _n, _url, basename, _text, _size, _extra in starts]
        assert files[:len(downloads)] == downloads and set(files[len(downloads):]) <= {
            "primary.xml.gz"}
        size = None
        for call in block:
            if call[0] == "collectGrabMeterStart":
                _n, url, basename, _text, size, _extra = call
                # The engine shows the text between the last two slashes.
                assert url.endswith("/%s/%s" % (repoid, basename)) and size > 0
            elif call[0] in ("collectGrabMeterUpdate", "collectGrabMeterEnd"):
                assert 0 <= call[1] <= size
        assert [call for call in block if call[0] == "collectProgress"] == [
            ("collectProgress", 0, 1, "MD Read"), ("collectProgress", 1, 1, "MD Read"),
            ("collectProgress", -1, -1, repoid)]


@pytest.mark.parametrize("over, mirrors", [("file", None), ("http", None),
                                           ("http", "metalink"), ("http", "mirrorlist")])
def test_acts_per_repository(make_root, make_yumio, recorder, start_server, over, mirrors):
    url_base = start_server().url if over == "http" else None
    root = make_root(url_base=url_base, mirrors=mirrors)
    yumio = make_yumio(root)
    yumio.setupRepos()
    check_acts(recorder.calls, (["metalink.xml"] if mirrors else []) + ["repomd.xml",
                                                                          "primary.xml.gz"])
    assert yumio.sack.query().filter(reponame="updates", name="helix")
    # Metadata still valid in the cache: no downloads, convert and read remain.
    recorder.reset()
    make_yumio(root).setupRepos()
    check_acts(recorder.calls, [])
