// TAboutBox: the modal help dialog with two pages chosen by tabs, a summary
// of the preview window's mouse and keyboard controls and a version page.
// It is created once and kept, so the page last chosen shows again at the
// next opening.
#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QTabBar;

namespace vertoko {

class TShadowLabel;
class TURLLabel;

class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The address shown by the link label and opened when it is clicked.
    static QString HomePage();

    QTabBar* TabPage = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QPushButton* OKButton = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    TShadowLabel* ShadowLabel1 = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    TURLLabel* URLLabel1 = nullptr;

    void TabPageChange(int index);

  private:
    void BuildControlsPage();
    void BuildVersionPage();
};

}  // namespace vertoko
