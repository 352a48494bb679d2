// The common options of orva32cli and the help texts of its commands.
#include "CommandLine.h"

#include <map>

#include "Args.h"

namespace orva::cli {

CommandLine SplitCommandLine(const std::vector<std::string>& words) {
  CommandLine line;
  std::vector<std::string> common;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w == "--version") {
      line.version = true;
    } else if (w == "--help" || w == "-h" || (w == "help" && line.command.empty())) {
      line.help = true;
    } else if (w == "--json") {
      common.push_back(w);
    } else if (w == "--data-dir") {
      if (i + 1 >= words.size()) throw UsageError("manca il valore di --data-dir");
      common.push_back(w);
      common.push_back(words[++i]);
    } else if (w.rfind("--data-dir=", 0) == 0) {
      common.push_back(w);
    } else if (line.command.empty()) {
      if (w.rfind("-", 0) == 0) throw UsageError("opzione prima del comando: " + w);
      line.command = w;
    } else {
      line.arguments.push_back(w);
    }
  }
  line.arguments.insert(line.arguments.end(), common.begin(), common.end());
  return line;
}

namespace {

const char kCommon[] =
    "opzioni comuni, in qualunque punto della riga:\n"
    "  --data-dir DIR   cartella dei dati (altrimenti ORVA32_HOME o ~/.local/share/orva32)\n"
    "  --json           un solo valore JSON sull'uscita\n"
    "  --help, --version\n";

const std::map<std::string, std::string>& Usages() {
  static const std::map<std::string, std::string> usages = {
      {"tariff",
       "uso: orva32cli tariff list\n"
       "     orva32cli tariff eval (--index N | --file PATH) --at \"AAAA-MM-GG hh:mm:ss\"\n"
       "                           [--ticks N] [--elapsed SECONDI] [--recalc]\n"
       "     orva32cli tariff cost (--index N | --file PATH) --from DATAORA --to DATAORA\n"
       "     orva32cli tariff check PATH\n"
       "Le tariffe della cartella dati: elenco, valutazione in un momento, costo di una\n"
       "chiamata, controllo completo di un file.\n"},
      {"easter",
       "uso: orva32cli easter ANNO\n"
       "Le date di Pasqua e Pasquetta (anni 1900-2099).\n"},
      {"log",
       "uso: orva32cli log show [FILE]\n"
       "     orva32cli log totals [FILE] [--vat ALIQUOTA]\n"
       "     orva32cli log sort [FILE] --column N [--descending]\n"
       "     orva32cli log export-csv [FILE] OUT\n"
       "     orva32cli log import [FILE] FROM [--duplicates yes|no]\n"
       "     orva32cli log compare [FILE] [--from AAAA-MM-GG] [--to AAAA-MM-GG]\n"
       "Il registro delle connessioni: righe, totali, ordinamento, CSV, importazione,\n"
       "confronto del costo delle chiamate con ogni tariffa.\n"
       "Il CSV dà i costi nella valuta scelta: in euro con la virgola decimale, i campi\n"
       "separati da \";\" e una riga di intestazione (\"Costo (€)\").\n"
       "Senza FILE si usa il registro corrente, quello in cui il programma scrive.\n"},
      {"bill",
       "uso: orva32cli bill add --date AAAA-MM-GG --ticks N\n"
       "                        (--price LIRE | --price-euro EURO)\n"
       "     orva32cli bill day --date AAAA-MM-GG\n"
       "     orva32cli bill month --month M --year A\n"
       "     orva32cli bill period --from AAAA-MM-GG --to AAAA-MM-GG [--fixed T] [--suppl T]\n"
       "                           [--vat ALIQUOTA]\n"
       "     orva32cli bill period-cost\n"
       "La bolletta: scatti del giorno, del mese e di un periodo.\n"
       "--price è il costo scatto in lire, qualunque sia la valuta scelta, come lo tiene la\n"
       "bolletta; --price-euro lo dà in euro (0,05 o 0.05), convertito a 1936,27 lire.\n"
       "I testi mostrano gli importi nella valuta scelta (Valuta); il JSON li dà in lire\n"
       "con l'equivalente in euro accanto.\n"},
      {"meter",
       "uso: orva32cli meter [--simulate VOCE] [--dialup nm|pppd] [--interfaces MODELLI] [--cpu]\n"
       "Il contascatti senza finestre: sorveglia i collegamenti e misura le chiamate, con gli\n"
       "stessi servizi del programma (NetworkManager quando è attivo, altrimenti pppd;\n"
       "ModemManager per le chiamate a voce).\n"},
      {"send",
       "uso: orva32cli send start|stop|quit|tariff N|default|redraw|NUMERO\n"
       "Un messaggio al programma in esecuzione.\n"},
      {"simulate-call",
       "uso: orva32cli simulate-call --entry VOCE --start \"AAAA-MM-GG hh:mm:ss\" --duration S\n"
       "                             [--tariff N] [--kind 0-5] [--negotiation MS]\n"
       "                             [--sample-ms MS]\n"
       "Una chiamata su un orologio finto (ora locale del fuso di TZ), registrata come una\n"
       "vera.\n"},
      {"netstat",
       "uso: orva32cli netstat [--view monitor|tcp|udp|ip|icmp] [--proc DIR]\n"
       "La tabella delle connessioni o i contatori dei protocolli.\n"},
      {"hosts",
       "uso: orva32cli hosts merge [--staging FILE] [--system FILE]\n"
       "Unisce i nomi raccolti (hosts.mqm) nel file hosts.\n"},
      {"dns",
       "uso: orva32cli dns reverse INDIRIZZO | dns forward NOME [--timeout S]\n"
       "Ricerca diretta o inversa.\n"},
      {"time",
       "uso: orva32cli time check SERVER [--port N]\n"
       "Confronta l'orologio con un server di ora di rete.\n"},
      {"mail",
       "uso: orva32cli mail check [--lst FILE] [--mailbox-timeout S] [--timeout S]\n"
       "Controlla le caselle di posta di POP3.LST; --mailbox-timeout: tempo massimo per\n"
       "ogni casella, --timeout: per tutto il controllo.\n"},
  };
  return usages;
}

}  // namespace

std::string GeneralUsage() {
  return std::string(
             "uso: orva32cli COMANDO [ARGOMENTI] [--data-dir DIR] [--json]\n"
             "comandi:\n"
             "  tariff list | eval | cost | check    tariffe\n"
             "  easter ANNO                          Pasqua e Pasquetta\n"
             "  log show|totals|sort|export-csv|import|compare   registro connessioni\n"
             "  bill add|day|month|period|period-cost    bolletta\n"
             "  meter [--simulate VOCE]              contascatti da console\n"
             "  send MESSAGGIO                       messaggio all'istanza in esecuzione\n"
             "  simulate-call --entry VOCE ...       chiamata simulata su orologio finto\n"
             "  netstat | hosts merge | dns reverse|forward   servizi di rete\n"
             "  time check SERVER | mail check       ora di rete e posta\n") +
         kCommon + "orva32cli COMANDO --help: gli argomenti di un comando.\n";
}

std::string CommandUsage(const std::string& command) {
  const auto it = Usages().find(command);
  return it == Usages().end() ? std::string() : it->second + kCommon;
}

}  // namespace orva::cli
