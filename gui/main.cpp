#include "app/CDorvaneApp.h"
#include "support/CTempFileRegistry.h"

int main(int argc, char** argv)
{
    // Killed during a save, the program removes its temporary file.
    CTempFileRegistry::RemoveOnSignals();
    CDorvaneApp app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    if (!app.InitInstance(arguments)) {
        app.ExitInstance();
        return 1;
    }
    app.Run();
    return app.ExitInstance();
}
