// TOptDlg2: the preview colour dialog with two lowered colour panels, the
// background (ColBk) and the objects (ColObj). A click on a panel opens the
// colour chooser. OK tells the preview at once through the SetColors
// callback; Cancel and the close box put the panels back.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

class QColorDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace vertoko {

class TOptDlg2 : public QDialog {
    Q_OBJECT

  public:
    // SetColors(back, obj) of the preview window; colours are 0x00BBGGRR.
    using SetColorsFn = std::function<void(std::uint32_t back, std::uint32_t obj)>;
    // Runs the colour chooser preset with a colour; empty when cancelled.
    using ChooseColorFn = std::function<std::optional<std::uint32_t>(std::uint32_t initial)>;

    explicit TOptDlg2(SetColorsFn setColors, QWidget* parent = nullptr);

    void SetColor(std::uint32_t back, std::uint32_t obj);
    void OptBack();
    void ColBkClick();
    void ColObjClick();
    void OkBtnClick();
    void CanBtnClick();

    // The close box and Escape end the dialog like Cancel, panels put back.
    void reject() override;

    std::uint32_t backColor() const { return back_; }
    std::uint32_t objColor() const { return obj_; }

    // Replaces the platform colour chooser (tests).
    void SetColorChooser(ChooseColorFn chooser) { chooser_ = std::move(chooser); }

    QGroupBox* GroupBox2;
    QLabel* Label1;
    QFrame* ColBk;
    QLabel* Label2;
    QFrame* ColObj;
    QPushButton* OkBtn;
    QPushButton* CanBtn;
    QColorDialog* ColorDlg;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PaintPanel(QFrame* panel, std::uint32_t colour);
    void Choose(QFrame* panel, std::uint32_t& colour);
    std::optional<std::uint32_t> RunColorDlg(std::uint32_t initial);

    SetColorsFn setColors_;
    ChooseColorFn chooser_;
    std::uint32_t back_ = 0;
    std::uint32_t obj_ = 0;
    std::uint32_t notedBack_ = 0;
    std::uint32_t notedObj_ = 0;
    bool hasNoted_ = false;
};

}  // namespace vertoko
