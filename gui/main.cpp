#include "app/CDorvaneApp.h"

int main(int argc, char** argv)
{
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
