#include "modalscript.h"

#include "services/ui/modal.h"

#include <QAbstractButton>

#include <QTest>
#include <gtest/gtest.h>

ModalScript::ModalScript()
{
    setModalDriver([this](QDialog& dialog) {
        ++m_shown;
        m_titles << dialog.windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) m_texts << box->text();
        if (m_steps.empty()) {
            ++m_unexpected;
            dialog.reject();
            return;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(dialog);
    });
}

ModalScript::~ModalScript()
{
    setModalDriver({});
}

ModalScript& ModalScript::then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

ModalScript& ModalScript::thenPress(QMessageBox::StandardButton button)
{
    return then([button](QDialog& dialog) { pressMessageBoxButton(dialog, button); });
}

void pressMessageBoxButton(QDialog& dialog, QMessageBox::StandardButton button)
{
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (!box) {
        ADD_FAILURE_AT(__FILE__, __LINE__);
        dialog.reject();
        return;
    }
    QAbstractButton* target = box->button(button);
    if (!target) {
        dialog.reject();
        return;
    }
    QTest::mouseClick(target, Qt::LeftButton);
}
