#include "app/frame/VRLApp.h"

int main(int argc, char* argv[])
{
    const int info = CVRLApp::HandleEarlyArguments(argc, argv);
    if (info >= 0)
        return info;
    CVRLApp app(argc, argv);
    if (!app.InitInstance())
        return app.ExitCode();
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
