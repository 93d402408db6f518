// AboutDialog: the modal "About" box of the Help menu. The program's logo in the dark header,
// the product name with its version in bold, then the build time and the Qt version the
// program runs on, and the buttons "Close" and "Credits". "Credits" shows the text file
// "Credits.txt" of the program folder (the folder of the executable; the build copies our own
// credits file there), read as UTF-8 up to its first zero byte; an unreadable file shows an
// empty box. The credits go through the Prompter, so nothing here blocks a test.
#pragma once

#include <QDialog>
#include <QString>

class Prompter;

namespace Ui {
class AboutDialog;
}

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // `programFolder` is where "Credits.txt" is looked for; empty means the folder of the
    // running executable.
    explicit AboutDialog(Prompter* prompter, QWidget* parent = nullptr,
                         const QString& programFolder = QString());
    ~AboutDialog() override;

    static QString productName();
    static QString version();

    // The whole text of a credits file as UTF-8, cut at its first zero byte; empty when the
    // file cannot be read.
    static QString readCredits(const QString& path);
    QString creditsPath() const;

public slots:
    void showCredits();

private:
    Ui::AboutDialog* ui;
    Prompter* prompter_;
    QString programFolder_;
};
