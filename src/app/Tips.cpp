// The tips of the day.
#include "app/Tips.h"

#include "core/Settings.h"

namespace orva {

const std::vector<std::string>& TipTexts() {
  static const std::vector<std::string> kTips = {
      "Un click sul contatore cambia la voce mostrata: costo, tempo, scatti, tempo al "
      "prossimo scatto, bolletta e percentuale dello scatto.",
      "Associare una tariffa a ogni connessione in Opzioni, pagina \"Corrispondenze\": alla "
      "connessione ORVA32 sceglie da solo la tariffa giusta.",
      "Con \"Avvio manuale\" si misura anche una chiamata che ORVA32 non vede da sé; "
      "\"Arresto manuale\" la chiude e la registra.",
      "La finestra ridotta resta sempre in primo piano: il pulsante a destra la riporta "
      "ingrandita.",
      "Trascinando la barra gialla della finestra ridotta si sposta la finestra.",
      "In \"Elenco connessioni\" un doppio click su una connessione mostra i server "
      "visitati durante la chiamata.",
      "La bolletta somma gli scatti giorno per giorno: un doppio click su un giorno permette "
      "di correggerne gli scatti.",
      "Con \"Impostazione tariffe\" si crea una nuova tariffa; \"Test completo\" controlla "
      "tutte le fasce prima del salvataggio.",
      "I limiti in \"Messaggi di avviso\" avvertono quando la chiamata o la bolletta superano "
      "la cifra indicata.",
      "Il pulsante con l'orologio confronta l'ora del computer con un server dell'ora in rete.",
      "Chiudendo la finestra ORVA32 resta nell'area di notifica; solo \"Termina\" chiude il "
      "programma.",
      "Da un terminale, \"orva32cli send start\" e \"orva32cli send stop\" avviano e fermano "
      "la misura della copia in esecuzione.",
  };
  return kTips;
}

TipsOfTheDay::TipsOfTheDay(long dayNumber) {
  const long n = static_cast<long>(TipTexts().size());
  m_index = static_cast<std::size_t>(((dayNumber % n) + n) % n);
}

std::size_t TipsOfTheDay::Count() const {
  return TipTexts().size();
}

const std::string& TipsOfTheDay::Current() const {
  return TipTexts()[m_index];
}

void TipsOfTheDay::Next() {
  m_index = (m_index + 1) % Count();
}

void TipsOfTheDay::Previous() {
  m_index = (m_index + Count() - 1) % Count();
}

std::string TipsOfTheDay::Position() const {
  return "Suggerimento " + std::to_string(m_index + 1) + " di " + std::to_string(Count());
}

bool ShowTipsAtStart(const Settings& s) {
  return s.helpTips && s.setupTips;
}

}  // namespace orva
