// Command-line arguments of orva32cli: positional words and "--name value" / "--flag" options.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace orva::cli {

// A bad argument: main prints the text on one line of stderr and exits 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Args {
 public:
  // flags: option names that take no value ("json", "recalc", ...).
  Args(std::vector<std::string> words, std::set<std::string> flags);

  const std::vector<std::string>& Positional() const { return m_positional; }
  // The n-th positional word, or a UsageError naming what is missing.
  const std::string& Word(std::size_t n, const std::string& what) const;
  bool Has(const std::string& name) const { return m_options.count(name) > 0; }
  std::optional<std::string> Get(const std::string& name) const;
  std::string Require(const std::string& name) const;
  long long RequireInteger(const std::string& name) const;
  std::optional<long long> GetInteger(const std::string& name) const;
  bool Flag(const std::string& name) const { return Has(name); }
  // Fails on any option not in the allowed list (plus the common ones).
  void Allow(const std::set<std::string>& names) const;

 private:
  std::vector<std::string> m_positional;
  std::map<std::string, std::string> m_options;
};

}  // namespace orva::cli
