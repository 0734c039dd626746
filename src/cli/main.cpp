#include "cli/CliCommon.h"

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"orvek-cli: headless batch operations of the Orvek analysis program"};
    app.require_subcommand(1);
    AddInfoCommand(app);
    AddSamplesCommand(app);
    AddSaveMarkersCommand(app);
    AddSaveReportCommand(app);
    AddSetZCommand(app);
    AddAdjustStartCommand(app);
    AddAppendTailCommand(app);
    AddExportLasCommand(app);
    AddSuggestCommand(app);
#ifdef ORVEK_WITH_QT
    AddRenderCommand(app);
    AddExportCommands(app);
    AddPrintCommand(app);
    AddPicturesCommand(app);
    AddSummaryCommand(app);
#endif
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    } catch (const CliExit& e) {
        return e.Status();
    } catch (const CliFailure& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
