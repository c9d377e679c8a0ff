#include "ficheros_prueba.h"

#include "app/Variables.h"
#include "board/FinPartida.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/ListaPgn.h"
#include "files/SetTableroF.h"
#include "files/fEpd.h"
#include "juego.h"
#include "network/Reloj.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QFileDialog>
#include <QTimer>

#include <sstream>

void Ficheros::SetUp() {
    e = std::make_unique<Entorno>();
    e->Arrancar();
    Reiniciar();
}

void Ficheros::TearDown() {
    Reiniciar();
    e.reset();
}

void Ficheros::Reiniciar() {
    auto& t = Tavorin();
    t.SendTvp->stop();
    t.TimerRetrasoTVP->stop();
    for (Forma* f : std::initializer_list<Forma*>{&fEpd(), &SetTableroF(), &ListaPgn(), &Cpu()}) f->Hide();
    // The browser's save buttons show only while it saves.
    ListaPgn().Command2[1]->hide();
    ListaPgn().Command2[2]->hide();
    auto& g = Reglas();
    g.Conectado = false;
    ModoPreparar = PartidaDeFichero = PosicionPreparada = false;
    ReiniciarPartida();
    g.MiColor.clear();
    Mdi().mnuInvertirTablero->setChecked(true);
    Mdi().mnuInvertirTablero_Click();
    MinutosBlancas = SegundosBlancas = MinutosNegras = SegundosNegras = 0;
    Reloj().PrintTimerB();
    Reloj().PrintTimerN();
    FicheroPendiente.clear();
    NumColaEnvio = 0;
    enviados.clear();
    e->mensajes.clear();
    e->respuestas.clear();
    e->textos.clear();
}

void Ficheros::Conectar() { Reglas().Conectado = true; }

void Ficheros::Enviar() {
    for (long i = 1; i <= NumColaEnvio; ++i) enviados << ColaEnvio[size_t(i)];
    NumColaEnvio = 0;
}

void Ficheros::Reproducir() {
    auto& t = Tavorin();
    for (int i = 0; i < 5000 && (t.SendTvp->isActive() || t.TimerRetrasoTVP->isActive()); ++i) {
        Enviar();
        if (t.SendTvp->isActive())
            t.SendTvp_Timer();
        else
            t.TimerRetrasoTVP_Timer();
    }
    Enviar();
}

std::string Ficheros::Vistos() const {
    QStringList v;
    for (const auto& m : e->mensajes) {
        QString n = m.texto;
        for (int i = 1; i < int(TextosIdioma.size()); ++i)
            if (TextosIdioma[size_t(i)] == m.texto) n = QString::number(i);
        v << n;
    }
    return v.join(u'|').toStdString();
}

void Ficheros::Jugar(const std::string& jugadas) {
    auto& g = Reglas();
    if (g.Turno == 0) g.Turno = 1;
    std::istringstream in(jugadas);
    std::string j;
    while (in >> j) ASSERT_TRUE(rules_test::Jugar(g, j).valido) << j;
}

QString Ficheros::Color(int lado) {
    const QString& pregunta = TextosIdioma[59];
    return pregunta.mid(pregunta.size() - (lado == 1 ? 4 : 2), 1);
}

Dialogo::~Dialogo() { delete reloj; }

std::unique_ptr<Dialogo> ResponderDialogo(const QString& ruta, int filtro) {
    auto d = std::make_unique<Dialogo>();
    Dialogo* p = d.get();
    p->reloj = new QTimer;
    p->reloj->setInterval(5);
    QObject::connect(p->reloj, &QTimer::timeout, [p, ruta, filtro] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialogo = qobject_cast<QFileDialog*>(w);
            if (!dialogo || !dialogo->isVisible()) continue;
            p->reloj->stop();
            p->visto = true;
            p->titulo = dialogo->windowTitle();
            p->carpeta = dialogo->directory().absolutePath();
            p->filtros = dialogo->nameFilters();
            if (filtro > 0 && filtro <= p->filtros.size()) dialogo->selectNameFilter(p->filtros[filtro - 1]);
            p->filtroElegido = dialogo->selectedNameFilter();
            if (ruta.isEmpty()) {
                dialogo->reject();
                return;
            }
            dialogo->setOption(QFileDialog::DontConfirmOverwrite);
            dialogo->selectFile(ruta);
            static_cast<QDialog*>(dialogo)->accept();
            return;
        }
    });
    p->reloj->start();
    return d;
}
