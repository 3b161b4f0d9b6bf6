#pragma once
// The application object: sockets layer, then the main window run modally.
// When the main window closes, the program ends.

class CKalvorApp {
public:
    // Optional arguments: --address A.B.C.D presets the module address,
    // --port N sends every request to that UDP port instead of the library's
    // default. Returns the process exit code.
    int Run(int argc, char** argv);

private:
    bool ParseArguments(int argc, char** argv);
};
