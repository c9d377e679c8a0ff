#include "partida_motor.h"

#include "app/Variables.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "platform/Relevo.h"
#include "platform/Sonido.h"
#include "procesos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <unistd.h>

void PartidaMotor::SetUp() {
    e = std::make_unique<Entorno>();
    sonido::Reproductor = [](const QString&) {};
    QDir().mkpath(e->Ruta("Motor"));
    e->Arrancar();
    Mdi().mnuNuevaPartida->trigger();
    ASSERT_TRUE(Cpu().Visible());
    // An engine's answer to a request, and its move after a castling, may take more
    // than the panel's second or two on a loaded machine: the tests give them a
    // minute, and a test of the time-outs sets them back.
    Cpu().Timer1->setInterval(kEsperaRespuestaMs);
    Cpu().Timer2->setInterval(kEsperaRespuestaMs);
}

void PartidaMotor::TearDown() {
    AnotarGrupos();
    Cpu().ToolboxComand(forms::OrdenPanel::Detener);
    Cpu().DescargarDLL();
    // Every engine and everything it started has ended, and nothing is left to reap.
    const bool limpio = Esperar(
        [this] {
            for (pid_t g : grupos)
                if (!testsupport::ProcesosDelGrupo(g).empty()) return false;
            return testsupport::HijosVivos(getpid()).empty();
        },
        20000);
    EXPECT_TRUE(limpio) << "an engine process is left";
    // No engine of a test that ran to its end crashed (a test that skips says why).
    if (!IsSkipped()) {
        for (const Final& f : finales) EXPECT_EQ(f.senal, 0) << Finales().toStdString();
    }
    sonido::Reproductor = nullptr;
    e.reset();
}

void PartidaMotor::Motor(const QString& nombre, const QStringList& ajustes) {
    Enlace(nombre, MOTOR_PRUEBA);
    QFile::remove(e->Ruta("Motor/" + nombre + "/registro.txt"));
    QFile cfg(e->Ruta("Motor/" + nombre + "/prueba.cfg"));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cfg.write((ajustes.join('\n') + '\n').toUtf8());
}

void PartidaMotor::Enlace(const QString& nombre, const QString& programa) {
    const QString carpeta = e->Ruta("Motor/" + nombre);
    QDir().mkpath(carpeta);
    QFile::remove(carpeta + "/" + nombre);
    ASSERT_TRUE(QFile::link(programa, carpeta + "/" + nombre)) << programa.toStdString();
}

void PartidaMotor::Nivel(int modo, const QString& valor, const QString& jugadas) {
    auto& n = FormLevel2();
    n.FijarOpcion(modo);
    if (modo == 0) n.Text2->setText(valor);
    if (modo == 1) n.Text1->setText(valor);
    if (modo == 2) {
        n.Text3->setText(valor);
        n.Combo1->setCurrentText(jugadas);
    }
    n.Command2_Click();
}

bool PartidaMotor::Empezar(const QString& blancas, const QString& negras) {
    auto& c = Cpu();
    c.ActualizarCPU();
    c.SMotor1->setCurrentIndex(blancas.isEmpty() ? 0 : c.SMotor1->findText(blancas));
    c.SMotor2->setCurrentIndex(negras.isEmpty() ? 0 : c.SMotor2->findText(negras));
    if (c.SMotor1->currentIndex() < 0 || c.SMotor2->currentIndex() < 0) return false;
    c.Toolbar1[1]->trigger();
    if (!c.Timer3->isActive()) return false;
    c.Timer3_Timer();
    AnotarGrupos();
    // No event has run since the start: an engine's end cannot have been missed.
    for (int n : {1, 2}) {
        Relevo* r = n == 1 ? c.mRedir : c.mRedir2;
        if (!r || !r->Ejecutando()) continue;
        const QString nombre = n == 1 ? blancas : negras;
        QObject::connect(r, &Relevo::ProcesoTerminado, r, [this, r, nombre] {
            finales.push_back({nombre, r->SenalFin(), r->EstadoFin()});
        });
    }
    return Motor1.Activo || Motor2.Activo;
}

QString PartidaMotor::Finales() const {
    QStringList t;
    for (const Final& f : finales)
        t << (f.senal != 0 ? QString("%1 ended by signal %2 (%3)").arg(f.motor).arg(f.senal).arg(strsignal(f.senal))
                           : QString("%1 exited with status %2").arg(f.motor).arg(f.estado));
    return t.join("; ");
}

void PartidaMotor::AnotarGrupos() {
    for (Relevo* r : {Cpu().mRedir, Cpu().mRedir2})
        if (r && r->Pid() > 0 && std::find(grupos.begin(), grupos.end(), r->Pid()) == grupos.end())
            grupos.push_back(r->Pid());
}

QStringList PartidaMotor::Leidas(const QString& nombre) const {
    QFile f(e->Ruta("Motor/" + nombre + "/registro.txt"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool PartidaMotor::Esperar(const std::function<bool()>& condicion, int ms) { return QTest::qWaitFor(condicion, ms); }

QStringList PartidaMotor::Mensajes() const {
    QStringList v;
    for (const auto& m : e->mensajes) {
        QString n = m.texto;
        for (int i = 1; i < int(TextosIdioma.size()); ++i)
            if (!TextosIdioma[i].isEmpty() && TextosIdioma[i] == m.texto) n = QString::number(i);
        v << n;
    }
    return v;
}

bool PartidaMotor::Visto(const QString& texto) const { return e->Contar(texto) > 0; }

QStringList PartidaMotor::Registros() {
    QStringList r;
    for (const std::string& j : Reglas().Jugadas.List1) r << QString::fromStdString(j).left(4);
    return r;
}
