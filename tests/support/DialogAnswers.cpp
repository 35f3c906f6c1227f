#include "DialogAnswers.h"

#include <QDialog>

#include <gtest/gtest.h>

DialogAnswers& DialogAnswers::Then(Answer answer) {
    answers_.push_back(std::move(answer));
    return *this;
}

std::function<int(QDialog&)> DialogAnswers::Runner() {
    return [this](QDialog& dialog) { return Run(dialog); };
}

int DialogAnswers::Run(QDialog& dialog) {
    opened << dialog.objectName();
    dialog.setResult(QDialog::Rejected);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
    const Answer answer = std::move(answers_.front());
    answers_.pop_front();
    dialog.show();
    answer(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "dialog " << dialog.objectName().toStdString() << " left open";
        dialog.hide();
        return QDialog::Rejected;
    }
    return dialog.result();
}
