#pragma once

#include <QString>

#include <functional>

// What a trap hands to the error report.
struct ErrorRecord
{
    double number = 0;
    qint16 line = 0;
    QString description;
    QString form;
    QString control;
};

// Shows the error report. The window layer installs the dialog; without one (command-line tools, tests
// that install nothing) the failure is written straight to the error log and the program ends.
void MostraErrore(double number, qint16 line, const QString& description, const QString& form,
                  const QString& control);

using ErrorPresenter = std::function<void(const ErrorRecord&)>;
void setErrorPresenter(ErrorPresenter presenter);

// The trap of every event procedure: call inside a catch block. It identifies the failure being handled
// (Failure or std::exception), appends the procedure's tag to its description and shows the report with
// the names of the active window and control.
void segnalaErrore(const QString& tag);

// The program version shown and logged: major.minor.revision.
QString versioneProgramma();

// LogErrori.TXT: one 392-character line per report, header on a new file. Failures are ignored.
QString errorLogHeader();
QString errorLogLine(const ErrorRecord& record, const QString& version);
void appendErrorLog(const ErrorRecord& record, const QString& version);
