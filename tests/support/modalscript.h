#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

// Answers the program's modal windows in a test, in the order they appear. Each step receives the dialog
// (already shown) and drives it; a modal with no step left is recorded and cancelled.
class ModalScript
{
public:
    using Step = std::function<void(QDialog&)>;

    ModalScript();
    ~ModalScript();

    ModalScript& then(Step step);
    // Convenience steps for message boxes: record the text and title, press the button.
    ModalScript& thenPress(QMessageBox::StandardButton button);

    int shown() const { return m_shown; }
    int unexpected() const { return m_unexpected; }
    bool finished() const { return m_steps.empty(); }
    const QStringList& texts() const { return m_texts; }   // texts of the message boxes seen
    const QStringList& titles() const { return m_titles; } // window titles of every modal seen

private:
    std::deque<Step> m_steps;
    int m_shown = 0;
    int m_unexpected = 0;
    QStringList m_texts;
    QStringList m_titles;
};

// Clicks the message box's button of that role (Ok, Yes, No...).
void pressMessageBoxButton(QDialog& dialog, QMessageBox::StandardButton button);
