// Parsing of orva32cli's arguments.
#include "Args.h"

#include "platform/Numbers.h"

namespace orva::cli {

Args::Args(std::vector<std::string> words, std::set<std::string> flags) {
  flags.insert("json");
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
      std::string name = w.substr(2);
      std::string value;
      if (const auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      } else if (!flags.count(name)) {
        if (i + 1 >= words.size()) throw UsageError("manca il valore di --" + name);
        value = words[++i];
      }
      m_options[name] = value;
    } else {
      m_positional.push_back(w);
    }
  }
}

const std::string& Args::Word(std::size_t n, const std::string& what) const {
  if (n >= m_positional.size()) throw UsageError("manca " + what);
  return m_positional[n];
}

std::optional<std::string> Args::Get(const std::string& name) const {
  const auto it = m_options.find(name);
  if (it == m_options.end()) return std::nullopt;
  return it->second;
}

std::string Args::Require(const std::string& name) const {
  const auto v = Get(name);
  if (!v) throw UsageError("manca l'opzione --" + name);
  return *v;
}

std::optional<long long> Args::GetInteger(const std::string& name) const {
  const auto v = Get(name);
  if (!v) return std::nullopt;
  const auto n = ParseInteger64(*v);
  if (!n) throw UsageError("--" + name + ": non è un numero intero: " + *v);
  return n;
}

long long Args::RequireInteger(const std::string& name) const {
  Require(name);
  return *GetInteger(name);
}

void Args::Allow(const std::set<std::string>& names) const {
  for (const auto& [name, value] : m_options)
    if (!names.count(name) && name != "json" && name != "data-dir")
      throw UsageError("opzione sconosciuta --" + name);
}

}  // namespace orva::cli
