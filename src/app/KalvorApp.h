#pragma once
// The application object: sockets layer, then the main window run modally.
// When the main window closes, the program ends.

class QCommandLineParser;

class CKalvorApp {
public:
    // Options: --address A.B.C.D presets the module address, --port N sends
    // every request to that UDP port instead of the library's default,
    // --trace FILE writes every SNMP request and answer to FILE;
    // --help and --version print their text and end without opening a
    // display. Qt's own options (-style, -platform, ...) are left to Qt.
    // Returns the process exit code: 0, 1 when start-up fails, 2 for a bad
    // command line.
    int Run(int argc, char** argv);

private:
    static void DescribeOptions(QCommandLineParser& parser);
    static int PrintHelpOrVersion(int argc, char** argv);
    static bool ApplyOptions(const QCommandLineParser& parser);
};
