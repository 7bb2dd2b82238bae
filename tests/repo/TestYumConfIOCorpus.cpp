// SPDX-License-Identifier: GPL-2.0-or-later
#include "ConfSandbox.h"
#include "config-vux-tests.h"

#include <QDirIterator>
#include <QProcess>

// Real-world configuration files: read, written back and read again to the
// same entries, files already in the written form byte for byte; and dnf's
// own parser reads the originals, and what was written after an edit, as
// YumConfIO does.
class TestYumConfIOCorpus : public QObject
{
    Q_OBJECT

private slots:
    void corpus_data();
    void corpus();
};

namespace {

// dnf's reading of the configuration inside root, one line a repository.
// Both sides pin $releasever and $basearch so that the URLs can be compared.
char const dnfProbe[] = R"(
import dnf, sys
root, main = sys.argv[1:]
base = dnf.Base()
c = base.conf
c.installroot, c.config_file_path = root, root + main
c.read(c.config_file_path, priority=dnf.conf.PRIO_MAINCONFIG)
c.reposdir = [root + d for d in c.reposdir]
c.substitutions.update(releasever='39', basearch='x86_64')
base.read_all_repos()
for r in sorted(base.repos.values(), key=lambda r: r.id):
    print(r.id, int(r.enabled), int(r.gpgcheck), *r.baseurl, '|', r.mirrorlist or '', '|',
          r.metalink or '')
)";

QString dnfReading()
{
    QProcess dnf;
    dnf.start(
        VUX_TEST_PYTHON, {"-c", dnfProbe, InstallRoot::path(), YumConfIO::configuredFileName()});
    if (!dnf.waitForFinished(120000) || dnf.exitCode() != 0)
        return "dnf failed: " + QString::fromUtf8(dnf.readAllStandardError());
    return QString::fromUtf8(dnf.readAllStandardOutput());
}

// The same for the entries YumConfIO holds.
QString expectedByDnf(YumConfIO const& conf)
{
    QList<Repo::Entry> entries = conf.repos;
    std::sort(entries.begin(), entries.end(),
        [](Repo::Entry const& a, Repo::Entry const& b) { return a.id < b.id; });
    auto const state = [](int s, bool byDefault) {
        return QString::number(s == Qt::PartiallyChecked ? byDefault : s == Qt::Checked);
    };
    QString text;
    for (Repo::Entry const& e : entries) {
        QString metalink;
        for (QString const& line : e.otherOptions.split('\n'))
            YumConfIO::isOption(line, "metalink", metalink);
        text += QStringList {e.id, state(e.enabled, conf.defaultEnabled),
            state(e.gpgcheck, conf.defaultGpgcheck)}
                    .join(' ');
        for (QString const& url : e.baseurl.split('\n', Qt::SkipEmptyParts))
            text += ' ' + url;
        text += " | " + e.mirrorlist + " | " + metalink + '\n';
    }
    text.replace("${releasever}", "39").replace("$releasever", "39");
    return text.replace("${basearch}", "x86_64").replace("$basearch", "x86_64");
}

} // namespace

void TestYumConfIOCorpus::corpus_data()
{
    QTest::addColumn<QString>("caseName");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("identical"); // files already in the written form

    QTest::newRow("fedora") << "fedora" << 6 << "/etc/yum.conf /etc/yum.repos.d/local.repo";
    QTest::newRow("centos") << "centos" << 7 << "/etc/yum.conf /etc/yum.repos.d/vendor.repo";
    QTest::newRow("opensuse") << "opensuse" << 3
                              << "/etc/yum.conf /etc/zypp/repos.d/repo-non-oss.repo "
                                 "/etc/zypp/repos.d/repo-update.repo";
}

void TestYumConfIOCorpus::corpus()
{
    QFETCH(QString, caseName);
    QFETCH(int, entries);
    QFETCH(QString, identical);

    ConfSandbox box;
    QString const from = QStringLiteral(VUX_TEST_DATA_DIR "/repo-corpus/") + caseName;
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        box.put(file.fileName().mid(from.size()), file.readAll());
    }
    auto const original = box.snapshot();
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), entries);
    QString const read = describe(f.conf.repos);
    QCOMPARE(dnfReading(), expectedByDnf(f.conf)); // CR LF, "enabled=false" included

    QVERIFY(f.conf.write(nullptr));
    auto const written = box.snapshot();
    QCOMPARE(written.size(), original.size()); // no file lost, none left over
    for (QString const& file : identical.split(' '))
        QCOMPARE(written.value(file), original.value(file));
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos), read);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.snapshot(), written); // the written form is stable

    // Every state turned round, URLs rearranged, one repository removed and
    // one with credentials added.
    for (Repo::Entry& e : f.conf.repos) {
        e.enabled = e.enabled == Qt::Unchecked ? Qt::Checked : Qt::Unchecked;
        e.gpgcheck = e.gpgcheck == Qt::Checked ? Qt::PartiallyChecked : Qt::Checked;
        QStringList urls = e.baseurl.split('\n', Qt::SkipEmptyParts);
        std::reverse(urls.begin(), urls.end());
        e.baseurl = urls.join('\n');
    }
    f.conf.repos.removeFirst();
    Repo::Entry added;
    added.id = "added";
    added.baseurl = "https://h.example/larder?u=me&p=pw&path=added/$basearch/\n"
                    "http://mirror.example/added/$releasever/";
    f.conf.repos.append(added);
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.answerer.answered(), 0);
    QCOMPARE(dnfReading(), expectedByDnf(f.conf));
}

QTEST_MAIN(TestYumConfIOCorpus)
#include "TestYumConfIOCorpus.moc"
