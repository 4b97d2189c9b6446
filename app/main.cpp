#include "shell/MDIVorendi.h"
#include "shell/segnalazioni.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorendi"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.0"));
    installaTraduzioni(app);

    MDIVorendi finestra;
    finestra.show();
    return app.exec();
}
