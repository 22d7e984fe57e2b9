#include "ui/chooserdialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include "toolkit/dialogplace.h"

ChooserDialog::ChooserDialog(QWidget& owner, const Toolkit& toolkit, const QString& title, double clientWidth, double clientHeight,
                             Rect listRect, const QString& acceptCaption, Rect acceptRect, Rect cancelRect)
    : QDialog(&owner), owner_(owner), toolkit_(toolkit) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(title);
    setFixedClientTwips(*this, toolkit_, clientWidth, clientHeight);

    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeInTwips(*list_, toolkit_, listRect.left, listRect.top, listRect.width, listRect.height);

    accept_ = new QPushButton(acceptCaption, this);
    placeInTwips(*accept_, toolkit_, acceptRect.left, acceptRect.top, acceptRect.width, acceptRect.height);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    placeInTwips(*cancel_, toolkit_, cancelRect.left, cancelRect.top, cancelRect.width, cancelRect.height);

    // Neither button is the default: a choice is made only by a click or an access key.
    for (QPushButton* button : {accept_, cancel_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    list_->installEventFilter(this);
    setTabOrder(list_, accept_);
    setTabOrder(accept_, cancel_);
}

QListWidgetItem* ChooserDialog::selectedItem() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void ChooserDialog::closeAnswered(bool accepted) {
    answered_ = true;
    if (accepted) {
        accept();
    } else {
        reject();
    }
}

void ChooserDialog::centreOverOwner() {
    centreOverMainWindow(*this, owner_, toolkit_);
}

void ChooserDialog::closeEvent(QCloseEvent* event) {
    // A close through the frame is a Cancel.
    if (!answered_) {
        writeCancelAnswer();
        answered_ = true;
    }
    QDialog::closeEvent(event);
}

void ChooserDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // An explicit "no current index" also keeps the list from making the
    // first line current when it takes the focus.
    list_->clearSelection();
    list_->setCurrentIndex(QModelIndex());
}

bool ChooserDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && list_->currentRow() < 0 &&
            list_->count() > 0) {
            list_->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ChooserDialog::keyPressEvent(QKeyEvent* event) {
    // Escape does not close the chooser and Enter picks nothing.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
