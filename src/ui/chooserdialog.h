// What the two choosers (levels, saved games) share: a fixed frame with a
// title bar and a close button, a list and two buttons placed in twips, and
// no keyboard way out. Neither button answers Enter or Escape, and a close
// through the frame counts as Cancel.
#pragma once

#include <QDialog>
#include <QString>

class Toolkit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class ChooserDialog : public QDialog {
    Q_OBJECT
protected:
    struct Rect {
        double left, top, width, height;
    };

    // Sizes the client area and creates the list and the two buttons at
    // their places, in tab order list, accept, cancel.
    ChooserDialog(QWidget& owner, const Toolkit& toolkit, const QString& title, double clientWidth, double clientHeight, Rect listRect,
                  const QString& acceptCaption, Rect acceptRect, Rect cancelRect);

    QListWidget* list() const { return list_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* cancelButton() const { return cancel_; }

    // The selected line, or nothing.
    QListWidgetItem* selectedItem() const;

    // Closes the chooser after the answer has been handed back.
    void closeAnswered(bool accepted);

    // Hands back the Cancel answer; also run for a close through the frame.
    virtual void writeCancelAnswer() = 0;

    // Centres the chooser over the main window.
    void centreOverOwner();

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Opens with no line selected and none current, so no line is drawn
    // as if it were chosen.
    void showEvent(QShowEvent* event) override;
    // Space on a list with no current line picks the first one, as Down does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& owner_;
    const Toolkit& toolkit_;
    QListWidget* list_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool answered_ = false;
};
