#include "app/KalvorApp.h"

int main(int argc, char** argv)
{
    CKalvorApp app;
    return app.Run(argc, argv);
}
