"""setupRepos(): loading repositories over file:// and HTTP, the five
progress acts per repository, failures, and larder credentials kept out of
what the script reports and of dnf's log files."""

import logging
import os

import pytest

from script_support import progress_blocks, shown_id

pytest_plugins = ["script_fixtures"]


def meter_files(block):
    """The file names of the meter starts of one repository's block."""
    return [call[1].rsplit("/", 1)[1] for call in block if call[0] == "collectGrabMeterStart"]


def check_block(repoid, block, downloaded):
    """One repository's acts: downloads (when it downloaded), then the
    convert act ("MD Read") and the read act (-1, -1, repoid)."""
    starts = [call for call in block if call[0] == "collectGrabMeterStart"]
    for call in starts:
        url, basename, _text, size, _extra = call[1:]
        assert shown_id(url) == repoid
        assert url.endswith("/" + basename)
        assert isinstance(size, int) and size > 0
    if downloaded:
        files = meter_files(block)
        assert files[0] == "repomd.xml" and set(files[1:]) == {"primary.xml.gz"}
        # Every act's bytes stay within its size and the act ends.
        size = None
        for call in block:
            if call[0] == "collectGrabMeterStart":
                size = call[4]
            elif call[0] in ("collectGrabMeterUpdate", "collectGrabMeterEnd"):
                assert 0 <= call[1] <= size
        assert [c[0] for c in block].count("collectGrabMeterEnd") == 2
    else:
        assert starts == []
    tail = [call for call in block if call[0] == "collectProgress"]
    assert tail == [("collectProgress", 0, 1, "MD Read"), ("collectProgress", 1, 1, "MD Read"),
                    ("collectProgress", -1, -1, repoid)]
    assert block[-1] == ("collectProgress", -1, -1, repoid)


@pytest.mark.parametrize("over", ["file", "http"])
def test_five_acts_per_repository(make_root, make_yumio, recorder, start_server, over):
    url_base = start_server().url if over == "http" else None
    root = make_root(url_base=url_base)
    yumio = make_yumio(root)
    yumio.setupRepos()
    blocks = progress_blocks(recorder.calls)
    assert [repoid for repoid, _block in blocks] == ["base", "updates"]
    for repoid, block in blocks:
        check_block(repoid, block, downloaded=True)
    assert {p.name for p in yumio.sack.query().available()} >= {"aurora", "helix", "ember"}

    # Cached metadata: nothing to download, the convert and read acts remain.
    recorder.reset()
    again = make_yumio(root)
    again.setupRepos()
    for repoid, block in progress_blocks(recorder.calls):
        check_block(repoid, block, downloaded=False)


def test_http_requests_reach_the_server(make_root, make_yumio, start_server):
    server = start_server()
    make_yumio(make_root(url_base=server.url)).setupRepos()
    served = [request[3] for request in server.requests if request[2] == 200]
    assert "/base/repodata/repomd.xml" in served and "/updates/repodata/repomd.xml" in served


@pytest.mark.parametrize("mirrors", ["mirrorlist", "metalink"])
def test_mirror_list_act(make_root, make_yumio, recorder, start_server, mirrors):
    server = start_server()
    yumio = make_yumio(make_root(url_base=server.url, mirrors=mirrors))
    yumio.setupRepos()
    blocks = progress_blocks(recorder.calls)
    assert [repoid for repoid, _block in blocks] == ["base", "updates"]
    for repoid, block in blocks:
        files = meter_files(block)
        assert files[:2] == ["metalink.xml", "repomd.xml"]
        assert set(files[2:]) == {"primary.xml.gz"}
        assert all(shown_id(c[1]) == repoid for c in block if c[0] == "collectGrabMeterStart")
    assert yumio.sack.query().filter(reponame="updates", name="helix")


@pytest.mark.parametrize("baseurl", [
    "http://127.0.0.1:1/nothing/",          # nobody listens
    "file:///nonexistent/vux/repository/",  # no such directory
    "CORRUPT",                              # the sandbox's corrupt primary
])
def test_unreachable_repository(make_root, make_yumio, built_repos, baseurl):
    from yum import Errors
    if baseurl == "CORRUPT":
        baseurl = "file://%s/" % built_repos["repos"]["corrupt-primary"]
    root = make_root(repos=["base"])
    with open(os.path.join(root, "etc/yum.repos.d/broken.repo"), "w") as f:
        f.write("[broken-one]\nname=Broken\nbaseurl=%s\ngpgcheck=0\n" % baseurl)
    yumio = make_yumio(root)
    with pytest.raises(Errors.RepoError) as caught:
        yumio.setupRepos()
    assert "broken-one" in caught.value.value


def test_disabled_repository_is_not_read(make_root, make_yumio, recorder):
    yumio = make_yumio(make_root())
    yumio.repos.disableRepo("updates")
    yumio.setupRepos()
    assert [repoid for repoid, _b in progress_blocks(recorder.calls)] == ["base"]
    assert not yumio.sack.query().filter(reponame="updates")


def read_logs(root):
    for handler in logging.getLogger("dnf").handlers + logging.getLogger("librepo").handlers:
        handler.flush()
    logdir = os.path.join(root, "var/log")
    texts = {}
    for name in os.listdir(logdir):
        with open(os.path.join(logdir, name), errors="replace") as f:
            texts[name] = f.read()
    return texts


@pytest.mark.parametrize("accepted", [True, False])
def test_larder_credentials_stay_hidden(make_root, make_yumio, recorder, start_server, accepted):
    from yum import Errors
    password = "Pw-hidden-7731"
    server = start_server(larder=("ada", password if accepted else "other"), larder_only=True)
    root = make_root(url_base=server.url, larder=("ada", password))
    yumio = make_yumio(root)
    if accepted:
        yumio.setupRepos()
        assert yumio.sack.query().filter(reponame="updates", name="helix")
        text = ""
    else:
        with pytest.raises(Errors.RepoError) as caught:
            yumio.setupRepos()
        text = caught.value.value
        assert "base" in text
        # The cause arrives as a warning, with the credentials masked.
        warnings = [c[2] for c in recorder.named("errorlog") if c[1] == 1]
        assert any("403" in w and "password=*****" in w for w in warnings)
    yumio.flush()
    assert password not in text
    assert recorder.texts() and not any(password in t for t in recorder.texts())
    logs = read_logs(root)
    assert {"dnf.log", "dnf.librepo.log", "dnf.rpm.log", "hawkey.log"} <= set(logs)
    for name, content in logs.items():
        assert password not in content, name
    if not accepted:
        assert "password=*****" in logs["dnf.log"]
