#pragma once

#include <QGroupBox>

#include <memory>

class QButtonGroup;

namespace Ui {
class SceltaTitoli;
}

// The catalog's choice of titles: the option pair OptionTipo (0 "Solo i Titoli non Richiamati",
// 1 "Tutti i Titoli"), each over its coloured panel; the chosen one's panel is green.
class SceltaTitoli : public QGroupBox
{
    Q_OBJECT

public:
    explicit SceltaTitoli(QWidget* parent = nullptr);
    ~SceltaTitoli() override;

    // Selects the option and colours the panels for it (any index but 0 counts as 1).
    void seleziona(int index);
    int indiceScelto() const;

    // The stored value QualiTitoliCatalogoTotale read as a number: 0 selects option 0, any other
    // number option 1.
    void mostraValore(const QString& stored);
    QString valoreDaSalvare() const; // "1" for option 1, "0" otherwise

private:
    void colora(int index); // OptionTipo_Click

    std::unique_ptr<Ui::SceltaTitoli> m_ui;
    QButtonGroup* m_options = nullptr;
};
