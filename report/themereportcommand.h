#ifndef THEMEREPORTCOMMAND_H
#define THEMEREPORTCOMMAND_H

#include <QStringList>

class QIODevice;

// The command line of zel-find-qicon-report. It sets the theme up from its options alone:
// the settings file of the main program is neither read nor written.
class ThemeReportCommand
{
public:
    enum ExitCode : int {
        ExitClean = 0,
        ExitFailOn = 1,
        ExitUsage = 2,
    };

    // arguments as QCoreApplication::arguments() gives them, the program first.
    static int exec(const QStringList &arguments, QIODevice *input, QIODevice *output, QIODevice *errors);

    static QString helpText();
};

#endif
