#include "ConfSandbox.h"
#include "config-vux-tests.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

// Real-world configuration files: read, written back and read again to the
// same entries; files already in the written form come back byte for byte;
// and dnf's own parser reads what was written to the same repositories.
class TestYumConfIOCorpus : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void dnfAgrees_data();
    void dnfAgrees();
    void dnfReadsOriginalsAlike_data();
    void dnfReadsOriginalsAlike();

private:
    static QByteArray dnfReading();
};

namespace {

void copyCase(QString const& name, ConfSandbox& box)
{
    QString const from = QStringLiteral(VUX_TEST_DATA_DIR "/repo-corpus/") + name;
    QVERIFY2(QFileInfo(from).isDir(), qPrintable(from));
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString const source = it.next();
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadOnly));
        box.put(source.mid(from.size()), file.readAll());
    }
}

// dnf's reading of a configuration inside root, as JSON. Both sides pin
// $releasever and $basearch so that the URLs can be compared.
char const dnfProbe[] = R"(
import dnf, json, sys
root, main = sys.argv[1], sys.argv[2]
base = dnf.Base()
conf = base.conf
conf.installroot = root
conf.config_file_path = root + main
conf.read(conf.config_file_path, priority=dnf.conf.PRIO_MAINCONFIG)
conf.reposdir = [root + d for d in conf.reposdir]
conf.substitutions['releasever'] = '39'
conf.substitutions['basearch'] = 'x86_64'
base.read_all_repos()
print(json.dumps(sorted(
    ({'id': r.id, 'enabled': bool(r.enabled), 'gpgcheck': bool(r.gpgcheck),
      'baseurl': list(r.baseurl), 'mirrorlist': r.mirrorlist or '',
      'metalink': r.metalink or ''} for r in base.repos.values()),
    key=lambda r: r['id'])))
)";

QString substituted(QString text)
{
    text.replace("${releasever}", "39").replace("$releasever", "39");
    text.replace("${basearch}", "x86_64").replace("$basearch", "x86_64");
    return text;
}

// What dnf should report for the entries YumConfIO holds.
QJsonArray expectedByDnf(YumConfIO const& conf)
{
    QList<Repo::Entry> entries = conf.repos;
    std::sort(entries.begin(), entries.end(),
        [](Repo::Entry const& a, Repo::Entry const& b) { return a.id < b.id; });
    QJsonArray result;
    for (Repo::Entry const& e : entries) {
        QJsonArray baseurls;
        for (QString const& url : e.baseurl.split('\n', Qt::SkipEmptyParts))
            baseurls.append(substituted(url));
        QString metalink;
        for (QString const& line : e.otherOptions.split('\n')) {
            QString value;
            if (YumConfIO::isOption(line, "metalink", value))
                metalink = substituted(value);
        }
        QJsonObject o;
        o["id"] = e.id;
        o["enabled"]
            = e.enabled == Qt::PartiallyChecked ? conf.defaultEnabled : e.enabled == Qt::Checked;
        o["gpgcheck"]
            = e.gpgcheck == Qt::PartiallyChecked ? conf.defaultGpgcheck : e.gpgcheck == Qt::Checked;
        o["baseurl"] = baseurls;
        o["mirrorlist"] = substituted(e.mirrorlist);
        o["metalink"] = metalink;
        result.append(o);
    }
    return result;
}

} // namespace

void TestYumConfIOCorpus::roundTrip_data()
{
    QTest::addColumn<QString>("caseName");
    QTest::addColumn<QStringList>("identical"); // files already in the written form
    QTest::addColumn<int>("entries");

    QTest::newRow("fedora") << "fedora"
                            << QStringList {"/etc/yum.conf", "/etc/yum.repos.d/local.repo"} << 6;
    QTest::newRow("centos") << "centos"
                            << QStringList {"/etc/yum.conf", "/etc/yum.repos.d/vendor.repo"} << 7;
    QTest::newRow("opensuse") << "opensuse"
                              << QStringList {"/etc/yum.conf",
                                     "/etc/zypp/repos.d/repo-non-oss.repo",
                                     "/etc/zypp/repos.d/repo-update.repo",
                                     "/etc/zypp/repos.d/repo-backports.repo.rpmsave"}
                              << 3;
}

void TestYumConfIOCorpus::roundTrip()
{
    QFETCH(QString, caseName);
    QFETCH(QStringList, identical);
    QFETCH(int, entries);

    ConfSandbox box;
    copyCase(caseName, box);
    auto const original = box.snapshot();
    ConfFixture f;
    ModalAnswerer& answerer = f.answerer;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(f.conf.repos.size(), entries);
    QString const read = describe(f.conf.repos);

    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(answerer.answered(), 0);
    auto const written = box.snapshot();
    QCOMPARE(written.keys().size(), original.keys().size()); // no file lost, none left over
    for (QString const& file : identical)
        QCOMPARE(written.value(file), original.value(file));

    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(describe(f.conf.repos), read);
    QVERIFY(f.conf.write(nullptr));
    QCOMPARE(box.snapshot(), written); // the written form is stable
}

void TestYumConfIOCorpus::dnfAgrees_data()
{
    QTest::addColumn<QString>("caseName");
    QTest::addColumn<bool>("edit");

    for (char const* name : {"fedora", "centos", "opensuse"}) {
        QTest::newRow(qPrintable(QString("%1 as read").arg(name))) << name << false;
        QTest::newRow(qPrintable(QString("%1 edited").arg(name))) << name << true;
    }
}

void TestYumConfIOCorpus::dnfAgrees()
{
    QFETCH(QString, caseName);
    QFETCH(bool, edit);

    if (!QFileInfo::exists(VUX_TEST_PYTHON))
        QSKIP("no interpreter with dnf");
    ConfSandbox box;
    copyCase(caseName, box);
    ConfFixture f;
    ModalAnswerer& answerer = f.answerer;
    QVERIFY(f.conf.read(nullptr));
    if (edit) {
        // Every state turned round, URLs rearranged, one repository added
        // and one removed.
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
        added.name = "Added in the editor";
        added.baseurl = "https://h.example/larder?u=me&p=pw&path=added/$basearch/\n"
                        "http://mirror.example/added/$releasever/";
        added.enabled = Qt::Checked;
        f.conf.repos.append(added);
    }
    QVERIFY(f.conf.write(nullptr));
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(answerer.answered(), 0);
    QCOMPARE(dnfReading(), QJsonDocument(expectedByDnf(f.conf)).toJson());
}

void TestYumConfIOCorpus::dnfReadsOriginalsAlike_data()
{
    QTest::addColumn<QString>("caseName");
    for (char const* name : {"fedora", "centos", "opensuse"})
        QTest::newRow(name) << name;
}

// Before anything is written: both read the hand-made files alike, CR LF,
// "enabled=false" and "enabled = 0" included.
void TestYumConfIOCorpus::dnfReadsOriginalsAlike()
{
    QFETCH(QString, caseName);

    if (!QFileInfo::exists(VUX_TEST_PYTHON))
        QSKIP("no interpreter with dnf");
    ConfSandbox box;
    copyCase(caseName, box);
    ConfFixture f;
    QVERIFY(f.conf.read(nullptr));
    QCOMPARE(dnfReading(), QJsonDocument(expectedByDnf(f.conf)).toJson());
}

QByteArray TestYumConfIOCorpus::dnfReading()
{
    QProcess dnf;
    dnf.start(
        VUX_TEST_PYTHON, {"-c", dnfProbe, InstallRoot::path(), YumConfIO::configuredFileName()});
    if (!dnf.waitForFinished(120000))
        return "dnf did not finish";
    if (dnf.exitCode() != 0)
        return "dnf failed: " + dnf.readAllStandardError();
    QJsonParseError parseError;
    QJsonDocument const got = QJsonDocument::fromJson(dnf.readAllStandardOutput(), &parseError);
    if (!got.isArray())
        return "no JSON from dnf: " + parseError.errorString().toUtf8();
    return got.toJson();
}

QTEST_MAIN(TestYumConfIOCorpus)
#include "TestYumConfIOCorpus.moc"
