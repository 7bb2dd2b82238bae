// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "python/PyRef.h"
#include "python/PyText.h"
#include "support/EngineFixture.h"
#include "support/ModalAnswerer.h"
#include "support/StandinShare.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOCapturers.h"

#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <ctime>
#include <dlfcn.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
int failingDup2Target = -1; // dup2 onto this descriptor fails while set
}

// The program's own dup2 calls come here first: a redirection can be made
// to fail as it would when the system runs out of resources.
extern "C" int dup2(int oldFd, int newFd)
{
    using Dup2 = int (*)(int, int);
    static Dup2 const real = reinterpret_cast<Dup2>(dlsym(RTLD_NEXT, "dup2"));
    if (newFd == failingDup2Target) {
        errno = EBUSY;
        return -1;
    }
    return real(oldFd, newFd);
}

class TestAccess
{
public:
    static PyObject* eval(YumIO& engine, char const* expression) { return engine.pyr(expression); }
    static void py(YumIO& engine, char const* code) { engine.py(code); }
};

// What reaches the log and the dialogs: stream and log assembly, captured
// descriptors, conversions of script values, and failure reports.
class TestEngineOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void lines_data();
    void lines();
    void bytesFormat_data();
    void bytesFormat();
    void timeFormats();
    void scriptMasksCredentials();
    void packageValues();
    void capturedOutput();
    void halfStartedCapture();

private:
    StandinEngine standin;
    ModalAnswerer& answerer = standin.answerer;
    YumIO* const engine = &standin.engine;
};

void TestEngineOutput::initTestCase()
{
    qputenv("VUX_STANDIN_SIZES", "1"); // read when the interpreter starts
    QVERIFY(engine->initialize());
}

void TestEngineOutput::lines_data()
{
    // Pieces written ("out:" standard output, "log:" a log message, "py:"
    // the script's own calls) and the entries they make. Whatever the package
    // manager or a package's scripts print is logged, credentials masked by
    // the program's one rule, what cannot be shown replaced; only a value
    // that is no text is refused.
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("a line waits for its end")
        << QStringList {"out:abc", "out:def\nghi"} << QStringList {"abcdef"};
    QTest::newRow("two newlines, two lines")
        << QStringList {"out:xyz", "out:\n\n"} << QStringList {"ghixyz", ""};
    QTest::newRow("script's standard error") << QStringList {
        "py:yumIOC.stderrWrite('Traceback\\n  line')",
        "py:yumIOC.stderrWrite(' one\\n')"} << QStringList {"Traceback", "  line one"};
    QTest::newRow("error number on a line of its own")
        << QStringList {"log:Cannot open: [Errno 2] No such file"}
        << QStringList {"Cannot open:", "[Errno 2] No such file"};
    QTest::newRow("a message never waits")
        << QStringList {"log:done\n"} << QStringList {"done", ""};
    QString const url
        = QStringLiteral("for http://h/larder?name=joe&password=pw&path=/b/ and https://u:p@h/");
    QTest::newRow("credentials masked") << QStringList {"log:" + url,
        "out:" + url + "\n"} << QStringList {Credentials::masked(url), Credentials::masked(url)};
    QTest::newRow("unprintable text")
        << QStringList {"py:yumIOC.log(2, 'nul\\0inside')",
               "py:yumIOC.errorlog(0, 'half \\ud800 pair, whole \\U0001f600')",
               "py:yumIOC.stdoutWrite(b'bytes \\xff\\n')", "py:yumIOC.stderrWrite('err\\udc80\\n')",
               "py:try:\n    yumIOC.log(2, 5)\nexcept TypeError:\n    yumIOC.log(2, 'refused')\n"}
        << QStringList {QStringLiteral("nul\uFFFDinside"),
               QStringLiteral("half \uFFFD pair, whole ") + QString::fromUcs4(U"\U0001F600"),
               QStringLiteral("bytes \uFFFD"), QStringLiteral("err\uFFFD"),
               QStringLiteral("refused")};
}

void TestEngineOutput::lines()
{
    QFETCH(QStringList, pieces);
    int const first = int(EngineFixture::logTexts(*engine).size());
    Python::PyGILStateWrapper lock(true);
    TestAccess::py(*engine, "import yumIOC\n");
    for (QString const& piece : pieces) {
        QString const text = piece.section(QLatin1Char(':'), 1);
        if (piece.startsWith(QLatin1String("out:")))
            engine->writeStdout(text);
        else if (piece.startsWith(QLatin1String("log:")))
            engine->log(Log::Message, 4, text);
        else
            TestAccess::py(*engine, text.toUtf8().constData());
    }
    QTEST(EngineFixture::logTexts(*engine, -1, first), "lines");
}

void TestEngineOutput::bytesFormat_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << Q_UINT64_C(0) << "0b";
    QTest::newRow("1000 is already Kb") << Q_UINT64_C(1000) << "1.0Kb";
    QTest::newRow("9.96 has no decimal") << Q_UINT64_C(10200) << "10Kb";
    QTest::newRow("largest") << Q_UINT64_C(18446744073709551615) << "16Eb";
}

void TestEngineOutput::bytesFormat()
{
    QFETCH(quint64, bytes);
    QTEST(YumIO::bytesFormat(bytes), "text");
}

void TestEngineOutput::timeFormats()
{
    // CTest runs the tests with TZ=UTC.
    QCOMPARE(YumIO::timeFormat(0), QStringLiteral("Thu Jan  1 00:00:00 1970"));
    QCOMPARE(YumIO::dateFormat(1700000000), QStringLiteral("Tue Nov 14 2023"));
    // The texts are put together by hand: each as ctime() writes it.
    for (long const seconds : {1700000000L, 1712345678L, -86399L, 253402300799L, 253402300800L}) {
        time_t const when = seconds;
        char text[64];
        QCOMPARE(YumIO::timeFormat(seconds), QString::fromLatin1(ctime_r(&when, text)).trimmed());
    }
    // Formatting on two threads at once gives each its own text.
    QString other;
    QThread* thread = QThread::create([&other] {
        for (int i = 0; i < 2000; ++i)
            other = YumIO::timeFormat(86400);
    });
    thread->start();
    bool same = true;
    for (int i = 0; i < 2000; ++i)
        same = same && YumIO::timeFormat(0) == QLatin1String("Thu Jan  1 00:00:00 1970");
    thread->wait();
    delete thread;
    QVERIFY(same);
    QCOMPARE(other, QStringLiteral("Fri Jan  2 00:00:00 1970"));
}

// The script's yumIOC.maskCredentials applies the program's rule to texts
// with any characters and gives them back whole; it takes text alone.
void TestEngineOutput::scriptMasksCredentials()
{
    Python::PyGILStateWrapper lock(true);
    TestAccess::py(*engine,
        "def maskProblems(mask):\n"
        "    import yumIOC\n"
        "    problems = []\n"
        "    odd = '\\udc80 \\u00e9 \\U0001f600 '\n"
        "    for text, want in ((odd + 'https://u:p@h/', odd + 'https://%s@h/' % mask),\n"
        "                       (odd, odd)):\n"
        "        if yumIOC.maskCredentials(text) != want:\n"
        "            problems.append(ascii(yumIOC.maskCredentials(text)))\n"
        "    try:\n"
        "        yumIOC.maskCredentials(b'x')\n"
        "        problems.append('bytes taken')\n"
        "    except TypeError:\n"
        "        pass\n"
        "    return ' '.join(problems)\n");
    QByteArray const call = "maskProblems('" + QString(Credentials::mask).toLatin1() + "')";
    PyRef const problems = PyRef::steal(TestAccess::eval(*engine, call.constData()));
    QVERIFY(problems && PyUnicode_Check(problems.get()));
    QCOMPARE(PyText::toQString(problems.get()), QString());
}

// Sizes in every shape a script may hand them over (the stand-in's SIZES):
// the ones that are no size are warned about and count as 0.
void TestEngineOutput::packageValues()
{
    int const before = answerer.answered();
    QVERIFY(engine->collect({{QStringLiteral("standin"), true}}));
    QTRY_COMPARE(answerer.answered(), before + 2);
    for (auto [name, size] : {std::pair {"number", 123}, {"text", 123}, {"bytes", 12},
             {"callable", 77}, {"huge", 0}, {"list", 0}}) {
        Package::Entry const* entry = engine->findEntry(false, QLatin1String("size-") + name);
        QVERIFY2(entry && entry->sizeBytes == quint64(size), name);
    }
    engine->clear();
}

// What C code and the programs a package script started write on
// descriptors 1 and 2 while the capture lives on a worker (as during a
// transaction) reaches the log in order, each stream as its kind; then both
// descriptors lead where they did. One program goes on writing for a while
// after the capture has ended, one holds its end and says a last line
// seconds later: the end of the capture reads the first to its end without
// waiting for the second, whose line is read when it comes.
void TestEngineOutput::capturedOutput()
{
    struct stat before[2];
    QVERIFY(fstat(1, &before[0]) == 0 && fstat(2, &before[1]) == 0);
    int const first = int(EngineFixture::logTexts(*engine).size());
    QList<pid_t> writers; // each leads a process group of its own
    auto const reap = qScopeGuard([&writers] {
        for (pid_t pid : writers) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    });
    qint64 endMs = -1;
    QThread* worker = QThread::create([&] {
        QElapsedTimer clock;
        {
            YumIOCapturers capturers(engine);
            QVERIFY(::write(2, "err one\nerr ", 12) == 12);
            QVERIFY(::write(1, "first\n", 6) == 6);
            QVERIFY(::write(2, "two\n", 4) == 4);
            for (char const* script : {"sleep 0.3; seq 1 20000; echo ongoing done",
                     "echo lingering; sleep 4; echo lingering ends"}) {
                char const* argv[] = {"sh", "-c", script, nullptr};
                posix_spawnattr_t attributes;
                posix_spawnattr_init(&attributes);
                posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
                pid_t pid = -1;
                if (posix_spawn(
                        &pid, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ)
                    == 0)
                    writers.append(pid);
                posix_spawnattr_destroy(&attributes);
            }
            clock.start();
        }
        endMs = clock.elapsed();
    });
    worker->start();
    while (!worker->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    delete worker;
    QCOMPARE(writers.size(), 2);
    QVERIFY2(endMs >= 0 && endMs < 3000, qPrintable(QString::number(endMs)));
    auto output = [&](bool out) {
        return EngineFixture::logTexts(*engine, out ? Log::Output : Log::Error, first);
    };
    QTRY_VERIFY_WITH_TIMEOUT(output(true).contains(QStringLiteral("lingering ends")), 15000);
    QStringList expected {QStringLiteral("first")};
    for (int i = 1; i <= 20000; ++i)
        expected.append(QString::number(i));
    expected << QStringLiteral("ongoing done");
    QStringList lines = output(true);
    QVERIFY(lines.removeOne(QStringLiteral("lingering")));
    QVERIFY(lines.removeOne(QStringLiteral("lingering ends")));
    QCOMPARE(lines, expected);
    QCOMPARE(output(false), (QStringList {QStringLiteral("err one"), QStringLiteral("err two")}));
    struct stat after[2];
    QVERIFY(fstat(1, &after[0]) == 0 && fstat(2, &after[1]) == 0);
    for (int i = 0; i < 2; ++i)
        QVERIFY(before[i].st_ino == after[i].st_ino && before[i].st_dev == after[i].st_dev);
}

// The second redirection fails after the first succeeded: the capture is
// reported and undone, and descriptor 1 leads where it did.
void TestEngineOutput::halfStartedCapture()
{
    struct stat before;
    QVERIFY(fstat(1, &before) == 0);
    int const dialogs = answerer.answered();
    struct stat during;
    failingDup2Target = 2;
    {
        YumIOCapturers capturers(engine);
        failingDup2Target = -1;
        QVERIFY(fstat(1, &during) == 0);
    }
    QVERIFY(before.st_ino == during.st_ino && before.st_dev == during.st_dev);
    QCOMPARE(answerer.answered(), dialogs + 1);
    QCOMPARE(answerer.titles().last(), YumIO::errorTitle());
    struct stat after;
    QVERIFY(fstat(1, &after) == 0 && after.st_ino == before.st_ino);
}

QTEST_MAIN(TestEngineOutput)
#include "TestEngineOutput.moc"
