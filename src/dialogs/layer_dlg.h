// TLayerDlg: the layer window. It lists the loaded drawing's layers in the
// drawing's order, each with a check box, its colour swatch and number, the
// number of faces on it and whether the drawing has it off or frozen. OK
// hands the checks back to the main window, which leaves the unchecked
// layers out of the preview and the next save; Cancel changes nothing.
#pragma once

#include <QDialog>
#include <vector>

#include "model/drawing_layers.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vertoko {

class TLayerDlg : public QDialog {
    Q_OBJECT

  public:
    // The list's columns.
    enum Column { NameColumn = 0, ColourColumn, FacesColumn, StateColumn };

    explicit TLayerDlg(QWidget* parent = nullptr);

    // Fills the list with layers, checked where keep is true or has no
    // flag. A layer without faces is listed but cannot be unchecked: there
    // is nothing of it to leave out.
    void SetLayers(const DrawingLayers& layers, const std::vector<bool>& keep);

    // The check of every layer, in the order of the layers given.
    std::vector<bool> Kept() const;

    void AllBtnClick();
    void NoneBtnClick();

    QTreeWidget* LayerList;
    QLabel* FacesLabel;  // the faces of the checked layers against all
    QPushButton* AllBtn;
    QPushButton* NoneBtn;
    QPushButton* OkBtn;
    QPushButton* CanBtn;

  private:
    void SetAll(bool checked);
    void CountFaces();

    std::vector<long long> faces_;  // per layer, for the sum of the checked ones
};

}  // namespace vertoko
