#include "app/CVarnelApp.h"
#include "app/QtPrompts.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QtPrompts prompts;
    CVarnelApp app(prompts);
    if (!app.InitInstance(application.arguments().mid(1)))
        return 1;
    return application.exec();
}
