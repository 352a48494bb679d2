// The information box: the program's name and version, the data directory it works in, the
// Qt it runs on and the licence. It opens where it was last closed.
#pragma once

#include <QDialog>
#include <string>

namespace orva {

struct Settings;

// The lines of the box, for the window and its tests.
QString AboutText(const std::string& dataDirectory);

class TAboutBox final : public QDialog {
  Q_OBJECT
 public:
  TAboutBox(Settings& settings, const std::string& dataDirectory, QWidget* parent = nullptr);
  ~TAboutBox() override;

 private:
  Settings& m_settings;
};

}  // namespace orva
