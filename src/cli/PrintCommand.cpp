// print: a print job over files of one folder, written as a PDF on A4 landscape at 600 dpi.
#include "cli/CliCommon.h"

#include "data/Messages.h"
#include "report/PrintJob.h"
#include "report/PrintSelection.h"
#include "view/DisplayedFile.h"
#include "view/Prompts.h"

#include <QFile>
#include <QFileInfo>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the desktop program would show in a message box goes to standard error; the job goes on.
class StderrPrompts final : public Prompts {
public:
    void Message(const QString& text, Kind) override { std::cerr << text.toStdString() << '\n'; }
    bool Question(const QString& text, Buttons) override
    {
        std::cerr << text.toStdString() << '\n';
        return false;
    }
    SaveChoice AskToSave(const QString& text) override
    {
        std::cerr << text.toStdString() << '\n';
        return SaveChoice::Cancel;
    }
    FileAnswer OpenFileName(const FileRequest&) override { return {}; }
    FileAnswer SaveFileName(const FileRequest&) override { return {}; }
};

struct PrintRequest {
    std::vector<std::string> files;
    std::string output;
    bool wave = false;
    bool data = false;
    bool noTitle = false;
};

void RunPrint(const PrintRequest& request)
{
    // The job, like the dialog it stands in for, prints names from one folder.
    QString folder;
    std::vector<std::string> names;
    for (const std::string& file : request.files) {
        const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(file)));
        const QString fileFolder = info.absolutePath();
        if (!folder.isEmpty() && fileFolder != folder)
            throw CLI::ValidationError("FILE", "all files must be in one folder");
        folder = fileFolder;
        names.push_back(QFile::encodeName(info.fileName()).toStdString());
    }

    EnsureGuiApplication(false);
    // The job prints from the folder of the file on display; here no file is on display.
    auto shown = std::make_unique<DisplayedFile>();
    shown->Choose(QString(), folder);

    PrintSelection selection;
    selection.m_printFiles = names;
    selection.m_printReady = 1;
    selection.m_printSettings.printTitle = request.noTitle ? 0 : 1;
    selection.m_printSettings.printWave = request.wave || !request.data ? 1 : 0;
    selection.m_printSettings.printTable = request.data ? 1 : 0;
    StderrPrompts prompts;
    PrintJob job(*shown, selection, prompts);
    job.SetReadsConfiguration(false);
    job.StartCommand(PrintJob::kPrint);
    const int pages = job.PrintToPdf(QFile::decodeName(QByteArray::fromStdString(request.output)));
    if (pages < 0)
        throw CliFailure(msg::kCannotCreate);
    std::cout << pages << '\n';
}

}  // namespace

void AddPrintCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("print", "Print files of one folder into a PDF (A4 landscape, 600 dpi)");
    auto request = std::make_shared<PrintRequest>();
    cmd->add_option("FILE", request->files, "measurement files (.cdd), printed in the order given")->required();
    cmd->add_option("-o,--output", request->output, "PDF file to write")->required();
    cmd->add_flag("--wave", request->wave, "print waveform pages (the default when neither kind is given)");
    cmd->add_flag("--data", request->data, "print data pages");
    cmd->add_flag("--no-title", request->noTitle, "leave out the page title");
    cmd->callback([request] { RunPrint(*request); });
}
