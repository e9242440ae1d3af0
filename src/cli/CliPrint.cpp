// ks340ctl print: the printed reports as a PDF file, drawn by the same code
// as the desktop program's printing.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "print/Reports.h"

namespace ks340::cli {

namespace {

const char* kPrintHelp =
    "Usage: ks340ctl print FILE.ks3 --report channel|option|all [--paper A4|Letter] -o OUT.pdf [--force]\n"
    "\n"
    "Prints the channel list, the option report or both (channel list first)\n"
    "into a PDF file, page for page as the program prints them. The paper is\n"
    "A4, or Letter where the locale measures in inches, unless --paper says.\n";

// Fonts and painting need a GUI application object; without a display the
// offscreen platform serves.
std::unique_ptr<QGuiApplication> makeGuiApp() {
    if (QGuiApplication::instance()) return nullptr;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "ks340ctl";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int runPrint(const Args& args) {
    std::string input, output, report = "all", paper;
    bool force = false;
    Options options;
    options.value({"--report", "-r"}, report)
        .value({"--paper"}, paper)
        .value({"-o", "--output"}, output)
        .flag({"--force"}, force);
    if (!options.parse(args)) {
        std::fprintf(stderr, "ks340ctl print: %s\n%s", options.error().c_str(), kPrintHelp);
        return kExitUsage;
    }
    if (options.help()) {
        std::fputs(kPrintHelp, stdout);
        return kExitOk;
    }
    if (options.arguments().size() > 1) {
        std::fprintf(stderr, "ks340ctl print: too many arguments\n%s", kPrintHelp);
        return kExitUsage;
    }
    if (!options.arguments().empty()) input = options.arguments()[0];
    int mode = 0;
    if (report == "channel")
        mode = kPrintChannels;
    else if (report == "option")
        mode = kPrintOptions;
    else if (report == "all")
        mode = kPrintAll;
    if (input.empty() || output.empty() || mode == 0) {
        std::fputs(kPrintHelp, stderr);
        return kExitUsage;
    }
    if (const int s = checkOutput("print", output, OutputFormat::Pdf, force)) return s;

    QPageSize paperSize = defaultPaperSize();
    if (paper == "A4" || paper == "a4") {
        paperSize = QPageSize(QPageSize::A4);
    } else if (paper == "Letter" || paper == "letter") {
        paperSize = QPageSize(QPageSize::Letter);
    } else if (!paper.empty()) {
        std::fprintf(stderr, "ks340ctl print: unknown paper '%s' (A4 or Letter)\n", paper.c_str());
        return kExitUsage;
    }

    auto settings = std::make_unique<RadioSettings>();
    std::string error;
    if (!loadConfiguration(input, *settings, error)) {
        std::fprintf(stderr, "ks340ctl print: %s\n", error.c_str());
        return kExitFailure;
    }
    auto app = makeGuiApp();
    ReportInfo info;
    info.fileName = QFileInfo(QFile::decodeName(input.c_str())).fileName();
    const QByteArray pdf = reportPdf(*settings, mode, info, paperSize);
    if (pdf.isEmpty()) {
        std::fprintf(stderr, "ks340ctl print: the report could not be drawn\n");
        return kExitFailure;
    }
    return writeOutput(output, std::string_view(pdf.constData(), std::size_t(pdf.size())), force) ? kExitOk
                                                                                                  : kExitFailure;
}

}  // namespace ks340::cli
