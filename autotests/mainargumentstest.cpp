// The real executable under a real X server: what its command line makes it show.
#include "fixturetheme.h"
#include "testenvironment.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

class MainArgumentsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_xvfb;
    QString m_display;

    void writeSettings(bool scanOnStart)
    {
        const QString path = m_dir.path() + QStringLiteral("/config/zel-find-qicon/application.ini");
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("[General]\nIconThemeSearchPaths=%1/icons\nIconFallbackSearchPaths=%1/none\nIconThemeName=argtheme\n"
                                  "IconFallbackThemeName=argtheme\nScanIconNamesOnStart=%2\nMainWindowGeometry=@Rect(0 0 1161 823)\n")
                       .arg(m_dir.path(), scanOnStart ? QStringLiteral("true") : QStringLiteral("false"))
                       .toUtf8());
    }

    // Pure red pixels on screen: the 48 px preview of "red" has 2304, and its two
    // applicant rows 256 each; the 16 px list icons a scan loads have 256 each too.
    int redPixelsShownFor(const QStringList &arguments)
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path() + QStringLiteral("/config"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(ZEL_FIND_QICON_BINARY), arguments);
        if (!program.waitForStarted(10000)) {
            return -1;
        }
        QTest::qWait(4000);
        const QString shot = m_dir.path() + QStringLiteral("/shot.png");
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-display"), m_display, QStringLiteral("-window"), QStringLiteral("root"), shot});
        program.kill();
        program.waitForFinished(10000);
        const QImage image(shot);
        if (image.isNull()) {
            return -2;
        }
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if ((image.pixel(x, y) & 0xffffff) == 0xff0000) {
                    ++count;
                }
            }
        }
        QFile::remove(shot);
        return count;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() || QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty()) {
            QSKIP("needs Xvfb and ImageMagick's import");
        }
        FixtureTheme theme(m_dir.path() + QStringLiteral("/icons"), QStringLiteral("argtheme"));
        theme.addDirectory(QStringLiteral("16x16/apps"), 16);
        theme.addDirectory(QStringLiteral("48x48/apps"), 48);
        theme.addPng(QStringLiteral("48x48/apps"), QStringLiteral("red"), 48, 48, Qt::red);
        theme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("red"), 16, 16, Qt::red);
        theme.addPng(QStringLiteral("16x16/apps"), QStringLiteral("other"), 16, 16, Qt::red);
        theme.writeIndex();

        m_display = QStringLiteral(":%1").arg(90 + QCoreApplication::applicationPid() % 100);
        m_xvfb.start(QStringLiteral("Xvfb"), {m_display, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1300x900x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(m_xvfb.waitForStarted(10000));
        QTest::qWait(1000);
        QCOMPARE(m_xvfb.state(), QProcess::Running);
    }

    void cleanupTestCase()
    {
        m_xvfb.kill();
        m_xvfb.waitForFinished(5000);
    }

    void arguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("scanOnStart");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("one name, scan option on") << QStringList{QStringLiteral("red")} << true << 2816 << 2816;
        QTest::newRow("three names, the first opened") << QStringList{QStringLiteral("red"), QStringLiteral("other"), QStringLiteral("x")} << true << 2816
                                                       << 2816;
        QTest::newRow("three names, the first empty") << QStringList{QString(), QStringLiteral("red"), QStringLiteral("other")} << true << 0 << 0;
        QTest::newRow("none, option off") << QStringList() << false << 0 << 0;
        QTest::newRow("none, option on") << QStringList() << true << 256 << 1024;
    }

    void arguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, scanOnStart);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        writeSettings(scanOnStart);
        const int red = redPixelsShownFor(arguments);
        QVERIFY2(red >= minimum && red <= maximum, qPrintable(QString::number(red)));
    }
};

ZEL_TEST_MAIN(MainArgumentsTest)

#include "mainargumentstest.moc"
