#include "NestedWindow.h"

NestedWindow::NestedWindow() : eWindow(1) {
    setText("Nested window");
    cmove(ePoint(200, 150));
    cresize(eSize(320, 160));
    auto* field = new eTextInputField(this);
    field->move(ePoint(20, 20));
    field->resize(eSize(280, 32));
    field->setMaxChars(20);
    field->setText("");
    auto* closeButton = new eButton(this);
    closeButton->move(ePoint(20, 70));
    closeButton->resize(eSize(280, 32));
    closeButton->setText("Close nested");
    closeButton->selected.connect(SigC::slot(*this, &NestedWindow::done));
    setFocus(field);
}

void NestedWindow::done() { close(3); }
