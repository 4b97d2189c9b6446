#pragma once

#include <QIcon>

// The program's pictures are drawn, not shipped: the window icon and the six
// toolbar pictures (20 by 20 pixels).
QIcon iconaProgramma();

enum class Pittogramma { Prodotto, Operazioni, Ricevute, AggiungiCarrello, Carrello, Azienda };
QIcon iconaStrumento(Pittogramma quale);
