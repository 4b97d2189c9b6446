#pragma once

class QCoreApplication;

// Zone reports become message boxes: the text of the report, title
// "Vorendi", OK only, no icon.
void installaSegnalatoreMessaggi();

// Qt's own buttons and dialogs in Italian ("Sì", "No", "Annulla").
void installaTraduzioni(QCoreApplication &app);
