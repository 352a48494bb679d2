// The application's pop-up hints: shown or not ("Mostra suggerimenti"), after what pause
// ("Attesa suggerimenti"), for how long, and in what colour ("Colore suggerimenti").
#pragma once

#include <QObject>
#include <QPointer>

class QProxyStyle;

namespace orva {

class THints final : public QObject {
  Q_OBJECT
 public:
  explicit THints(QObject* parent = nullptr);
  ~THints() override;

  // Installs the hint handling on the application (once).
  void Install();
  void SetShown(bool shown) { m_shown = shown; }
  bool Shown() const { return m_shown; }
  // The pause before a hint comes up, ms.
  void SetPause(int ms);
  int Pause() const { return m_pause; }
  // How long a hint stays up, ms.
  void SetHidePause(int ms) { m_hidePause = ms; }
  int HidePause() const { return m_hidePause; }
  // The hint colour as 0x00BBGGRR.
  void SetColour(unsigned bgr);
  unsigned Colour() const { return m_colour; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool m_shown = true;
  int m_pause = 250;
  int m_hidePause = 10000;
  unsigned m_colour = 0xE1FFFF;
  QPointer<QProxyStyle> m_style;
  bool m_installed = false;
};

}  // namespace orva
