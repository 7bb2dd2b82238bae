// SPDX-License-Identifier: GPL-2.0-or-later
#include "python/PythonHeaders.h"

#include "base/Credentials.h"
#include "python/PyRef.h"
#include "python/PyText.h"
#include "support/ModalAnswerer.h"
#include "support/StandinShare.h"
#include "widgets/HProgressBar.h"
#include "yumio/YumIO.h"
#include "yumio/YumIOCapturers.h"

#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <csignal>
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

namespace {

QList<Log::Entry> entriesFrom(YumIO& engine, int first)
{
    QMutexLocker locker(&engine.logEntries());
    return engine.logEntries().mid(first);
}

int logSize(YumIO& engine)
{
    QMutexLocker locker(&engine.logEntries());
    return engine.logEntries().size();
}

QStringList texts(QList<Log::Entry> const& entries)
{
    QStringList result;
    for (Log::Entry const& entry : entries)
        result.append(entry.text);
    return result;
}

} // namespace

// What reaches the log and the dialogs: stream and log assembly, captured
// descriptors, conversions of script values, and failure reports.
class TestEngineOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void lines_data();
    void lines();
    void bytesFormat_data();
    void bytesFormat();
    void timeFormats();
    void credentialsMasked();
    void packageValues();
    void capturedDescriptors();
    void outputAfterTheCaptureEnds();
    void unprintableText();
    void halfStartedCapture();

private:
    StandinEngine* standin = nullptr;
    ModalAnswerer* answerer = nullptr;
    YumIO* engine = nullptr;
};

void TestEngineOutput::initTestCase()
{
    qputenv("VUX_STANDIN_SIZES", "1"); // read when the interpreter starts
    standin = new StandinEngine;
    answerer = &standin->answerer;
    engine = &standin->engine;
    QVERIFY(engine->initialize());
}

void TestEngineOutput::cleanupTestCase()
{
    delete standin;
}

void TestEngineOutput::lines_data()
{
    // Pieces written ("out:" standard output, "err:" the script's standard
    // error, "log:" a log message) and the entries they make.
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("a line waits for its end")
        << QStringList {"out:abc", "out:def\nghi"} << QStringList {"abcdef"};
    QTest::newRow("two newlines, two lines")
        << QStringList {"out:xyz", "out:\n\n"} << QStringList {"ghixyz", ""};
    QTest::newRow("script's standard error") << QStringList {"err:Traceback\n  line", "err: one\n"}
                                             << QStringList {"Traceback", "  line one"};
    QTest::newRow("error number on a line of its own")
        << QStringList {"log:Cannot open: [Errno 2] No such file"}
        << QStringList {"Cannot open:", "[Errno 2] No such file"};
    QTest::newRow("a message never waits")
        << QStringList {"log:done\n"} << QStringList {"done", ""};
}

void TestEngineOutput::lines()
{
    QFETCH(QStringList, pieces);
    int const first = logSize(*engine);
    Python::PyGILStateWrapper lock(true);
    for (QString const& piece : pieces) {
        QString const text = piece.mid(4);
        if (piece.startsWith(QLatin1String("out:")))
            engine->writeStdout(text);
        else if (piece.startsWith(QLatin1String("log:")))
            engine->log(Log::Message, 4, text);
        else {
            PyRef args = PyRef::steal(Py_BuildValue("(s)", text.toUtf8().constData()));
            PyRef result = PyRef::steal(engine->stderrWrite(args.get()));
            QVERIFY(result);
        }
    }
    QTEST(texts(entriesFrom(*engine, first)), "lines");
}

void TestEngineOutput::bytesFormat_data()
{
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << Q_UINT64_C(0) << "0b";
    QTest::newRow("bytes have no fraction") << Q_UINT64_C(6) << "6b";
    QTest::newRow("999") << Q_UINT64_C(999) << "999b";
    QTest::newRow("1000 is already Kb") << Q_UINT64_C(1000) << "1.0Kb";
    QTest::newRow("1536") << Q_UINT64_C(1536) << "1.5Kb";
    QTest::newRow("9.96 has no decimal") << Q_UINT64_C(10200) << "10Kb";
    QTest::newRow("1024000") << Q_UINT64_C(1024000) << "1.0Mb";
    QTest::newRow("20 MiB") << Q_UINT64_C(20971520) << "20Mb";
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
    QCOMPARE(YumIO::dateFormat(0), QStringLiteral("Thu Jan  1 1970"));
    QCOMPARE(YumIO::dateFormat(1700000000), QStringLiteral("Tue Nov 14 2023"));
    // The date is ctime's text without its clock, from 1901 to 2099.
    for (qint64 t = -2100000000LL; t < 4100000000LL; t += 86400LL * 37 + 3599) {
        QString expected = YumIO::timeFormat(static_cast<long>(t));
        expected.remove(11, 9);
        QCOMPARE(YumIO::dateFormat(static_cast<long>(t)), expected);
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

// The log and the script's yumIOC.maskCredentials apply the program's one
// rule; the script's texts come back whole, whatever characters they hold.
void TestEngineOutput::credentialsMasked()
{
    QString const text
        = QStringLiteral("for http://h/larder?name=joe&password=pw&path=/b/ and https://u:p@h/");
    QString const masked = Credentials::masked(text);
    QVERIFY(masked != text);
    int const first = logSize(*engine);
    engine->log(Log::Error, 0, text);
    engine->writeStdout(text + QLatin1Char('\n'));
    QCOMPARE(texts(entriesFrom(*engine, first)), (QStringList {masked, masked}));

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
    int const before = answerer->answered();
    QVERIFY(engine->collect({{QStringLiteral("standin"), true}}));
    QTRY_COMPARE(answerer->answered(), before + 2);
    for (auto [name, size] : {std::pair {"number", 123}, {"text", 123}, {"bytes", 12},
             {"callable", 77}, {"huge", 0}, {"list", 0}}) {
        Package::Entry const* entry = engine->findEntry(false, QLatin1String("size-") + name);
        QVERIFY2(entry && entry->sizeBytes == quint64(size), name);
    }
    engine->clear();
}

void TestEngineOutput::capturedDescriptors()
{
    struct stat before[2];
    QVERIFY(fstat(1, &before[0]) == 0 && fstat(2, &before[1]) == 0);
    int const first = logSize(*engine);
    // The capture lives on a worker, as during a transaction; what C code
    // writes to the descriptors arrives in the log in order, the last bytes
    // written just before the end included.
    QThread* worker = QThread::create([this] {
        YumIOCapturers capturers(engine);
        for (int i = 0; i < 200; ++i) {
            QByteArray const line = "out " + QByteArray::number(i) + "\n";
            QVERIFY(::write(1, line.constData(), line.size()) == line.size());
        }
        QVERIFY(::write(2, "err one\nerr ", 12) == 12);
        QVERIFY(::write(2, "two\n", 4) == 4);
        QVERIFY(::write(1, "last\n", 5) == 5);
    });
    worker->start();
    while (!worker->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    delete worker;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QStringList out;
    QStringList err;
    for (Log::Entry const& entry : entriesFrom(*engine, first))
        (entry.kind == Log::Output ? out : err).append(entry.text);
    QCOMPARE(out.size(), 201);
    QCOMPARE(out.first(), QStringLiteral("out 0"));
    QCOMPARE(out.at(199), QStringLiteral("out 199"));
    QCOMPARE(out.last(), QStringLiteral("last"));
    QCOMPARE(err, (QStringList {QStringLiteral("err one"), QStringLiteral("err two")}));

    struct stat after[2];
    QVERIFY(fstat(1, &after[0]) == 0 && fstat(2, &after[1]) == 0);
    for (int i = 0; i < 2; ++i)
        QVERIFY(before[i].st_ino == after[i].st_ino && before[i].st_dev == after[i].st_dev);
}

// Programs a package script started write on after the capture has ended:
// one goes on for a while, one holds its end and says a last line seconds
// later. The end of the capture reads the first to its end without waiting
// for the second, whose line is read when it comes.
void TestEngineOutput::outputAfterTheCaptureEnds()
{
    int const first = logSize(*engine);
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
    auto output = [&] {
        QStringList lines;
        for (Log::Entry const& entry : entriesFrom(*engine, first))
            if (entry.kind == Log::Output)
                lines.append(entry.text);
        return lines;
    };
    QTRY_VERIFY_WITH_TIMEOUT(output().contains(QStringLiteral("lingering ends")), 15000);
    QStringList expected;
    for (int i = 1; i <= 20000; ++i)
        expected.append(QString::number(i));
    expected << QStringLiteral("ongoing done");
    QStringList lines = output();
    QVERIFY(lines.removeOne(QStringLiteral("lingering")));
    QVERIFY(lines.removeOne(QStringLiteral("lingering ends")));
    QCOMPARE(lines, expected);
}

// Whatever the package manager or a package's scripts print is logged, with
// what cannot be shown replaced; only a value that is no text is refused.
void TestEngineOutput::unprintableText()
{
    int const first = logSize(*engine);
    Python::PyGILStateWrapper lock(true);
    TestAccess::py(*engine,
        "import yumIOC\n"
        "yumIOC.log(2, 'nul\\0inside')\n"
        "yumIOC.errorlog(0, 'half \\ud800 pair, whole \\U0001f600')\n"
        "yumIOC.stdoutWrite(b'bytes \\xff\\n')\n"
        "yumIOC.stderrWrite('err\\udc80\\n')\n"
        "try:\n"
        "    yumIOC.log(2, 5)\n"
        "except TypeError:\n"
        "    yumIOC.log(2, 'refused')\n");
    QCOMPARE(texts(entriesFrom(*engine, first)),
        (QStringList {QStringLiteral("nul\uFFFDinside"),
            QStringLiteral("half \uFFFD pair, whole ") + QString::fromUcs4(U"\U0001F600"),
            QStringLiteral("bytes \uFFFD"), QStringLiteral("err\uFFFD"),
            QStringLiteral("refused")}));
}

// The second redirection fails after the first succeeded: the capture is
// reported and undone, and descriptor 1 leads where it did.
void TestEngineOutput::halfStartedCapture()
{
    struct stat before;
    QVERIFY(fstat(1, &before) == 0);
    int const dialogs = answerer->answered();
    struct stat during;
    failingDup2Target = 2;
    {
        YumIOCapturers capturers(engine);
        failingDup2Target = -1;
        QVERIFY(fstat(1, &during) == 0);
    }
    QVERIFY(before.st_ino == during.st_ino && before.st_dev == during.st_dev);
    QCOMPARE(answerer->answered(), dialogs + 1);
    QCOMPARE(answerer->titles().last(), YumIO::errorTitle());
    struct stat after;
    QVERIFY(fstat(1, &after) == 0 && after.st_ino == before.st_ino);
}

QTEST_MAIN(TestEngineOutput)
#include "TestEngineOutput.moc"
