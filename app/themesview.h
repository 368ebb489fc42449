#ifndef THEMESVIEW_H
#define THEMESVIEW_H

#include <QTableWidget>

class QProcess;

// A name under every icon theme of the search paths, side by side: what the toolkit
// draws at a few sizes under each, and whether the theme, a theme it inherits or a
// fallback folder gave it. Each theme is asked by a report process of its own, so that
// the window's own theme, its caches and all it shows stay exactly as they were.
class ThemesView : public QTableWidget
{
    Q_OBJECT
public:
    explicit ThemesView(QWidget *parent = nullptr);
    ~ThemesView() override;

    void setIconName(const QString &name);

    static const QList<int> &sizes();
    // Every theme with an index.theme in the search paths, each once, by name.
    static QStringList installedThemes();

private:
    void askNext();
    void fillRow(int row, const QString &theme, const QByteArray &json);
    void stopProcesses();

    QList<QProcess *> m_processes;
    QStringList m_themes;
    QStringList m_arguments; // of every process, but the theme
    int m_next = 0;
};

#endif
