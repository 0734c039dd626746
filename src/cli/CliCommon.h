#pragma once

#include <CLI/CLI.hpp>

#include <stdexcept>
#include <string>

// A failed operation: main prints the message (the program's own text) on stderr and exits 1.
class CliFailure : public std::runtime_error {
public:
    explicit CliFailure(const std::string& message) : std::runtime_error(message) {}
};

// A sub-command that has already printed its messages (a batch with failed files) ends with this
// exit status.
class CliExit : public std::runtime_error {
public:
    explicit CliExit(int status) : std::runtime_error("exit"), m_status(status) {}
    int Status() const { return m_status; }

private:
    int m_status;
};

// Sub-command registration; each adds its sub-command to app with a callback that does the work
// and throws CliFailure on failure.
// The file operations that need no painting:
void AddInfoCommand(CLI::App& app);
void AddSamplesCommand(CLI::App& app);
void AddSaveMarkersCommand(CLI::App& app);
void AddSaveReportCommand(CLI::App& app);
void AddSetZCommand(CLI::App& app);
void AddAdjustStartCommand(CLI::App& app);
void AddAppendTailCommand(CLI::App& app);
void AddExportLasCommand(CLI::App& app); // export-las
void AddSuggestCommand(CLI::App& app);  // suggest
#ifdef ORVEK_WITH_QT
void AddRenderCommand(CLI::App& app);   // render
void AddExportCommands(CLI::App& app);  // export-xls
void AddPrintCommand(CLI::App& app);    // print
void AddPicturesCommand(CLI::App& app); // pictures
void AddSummaryCommand(CLI::App& app);  // summary
// Creates the application object the painting commands need, off-screen unless a platform is set:
// a widget application for the commands that still go through widgets, else a plain one. Call
// it from the main thread before painting on any other.
void EnsureGuiApplication(bool widgets = true);
#endif
