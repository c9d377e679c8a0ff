#include "platform/Forma.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <cmath>

Forma* Forma::activa_ = nullptr;

namespace {
// Function-local storage: the main window registers itself during static
// initialisation of another file.
std::function<QMdiArea*()>& g_area() {
    static std::function<QMdiArea*()> f;
    return f;
}
std::function<QWidget*()>& g_ventana() {
    static std::function<QWidget*()> f;
    return f;
}

std::function<void(Forma&)>& g_alAbrir() {
    static std::function<void(Forma&)> f;
    return f;
}

int APixeles(double twips) { return int(std::lround(twips / TwipsPorPixel)); }

bool Pulsable(const QAbstractButton* b, const QWidget* forma) { return b && b->isVisibleTo(forma) && b->isEnabled(); }

// The first field of the form (a control that is not a push button) in the order Tab
// takes; of a group of option buttons, the one chosen.
QWidget* PrimerCampo(QWidget* forma) {
    for (QWidget* w = forma->nextInFocusChain(); w && w != forma; w = w->nextInFocusChain()) {
        if (!forma->isAncestorOf(w) || !w->isVisibleTo(forma) || !w->isEnabled() ||
            !(w->focusPolicy() & Qt::TabFocus) || qobject_cast<QPushButton*>(w))
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->autoExclusive() && !b->isChecked()) {
            const auto grupo = b->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
            if (std::any_of(grupo.begin(), grupo.end(),
                            [](const QAbstractButton* o) { return o->autoExclusive() && o->isChecked(); }))
                continue;
        }
        return w;
    }
    return nullptr;
}
}  // namespace

void Forma::FijarPrincipal(std::function<QMdiArea*()> area, std::function<QWidget*()> ventana) {
    g_area() = std::move(area);
    g_ventana() = std::move(ventana);
}

void Forma::FijarAlAbrir(std::function<void(Forma&)> alAbrir) { g_alAbrir() = std::move(alAbrir); }

QMdiArea* Forma::AreaMdi() { return g_area() ? g_area()() : nullptr; }
QWidget* Forma::VentanaPrincipal() { return g_ventana() ? g_ventana()() : nullptr; }

Forma::Forma(Clase clase, const QString& nombre) : QWidget(nullptr), clase_(clase) {
    setObjectName(nombre);
    colorFondo_ = palette().color(QPalette::Window);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Forma::~Forma() {
    if (activa_ == this) activa_ = nullptr;
}

QWidget* Forma::Marco() const {
    if (sub_) return sub_;
    return const_cast<Forma*>(this);
}

void Forma::Cargar() {
    if (cargada_) return;
    cargada_ = true;
    tamanoDiseno_ = size();
    if (clase_ == Hija) {
        if (QMdiArea* area = AreaMdi()) {
            sub_ = area->addSubWindow(this);
            sub_->setAttribute(Qt::WA_DeleteOnClose, false);
            sub_->resize(sub_->sizeHint());
            sub_->hide();
        }
    } else if (QWidget* principal = VentanaPrincipal(); principal && principal != this) {
        Qt::WindowFlags banderas = clase_ == Flotante ? (Qt::Dialog | Qt::FramelessWindowHint) : Qt::Dialog;
        setParent(principal, banderas);
    }
    Form_Load();
}

QPoint Forma::Origen() const {
    if (sub_ || clase_ == Hija) return {0, 0};
    if (QMdiArea* area = AreaMdi()) return area->mapToGlobal(QPoint(0, 0));
    return {0, 0};
}

QMargins Forma::Borde() const {
    QWidget* m = Marco();
    if (!m->isWindow()) return {};
    auto marco = [](const QWidget* w) {
        const QRect f = w->frameGeometry(), g = w->geometry();
        return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    };
    const QMargins propio = marco(m);
    if (!propio.isNull() || clase_ != Dialogo) return propio;
    // Not framed yet: the window manager will frame it as it framed the main window.
    const QWidget* principal = VentanaPrincipal();
    if (!principal || principal == m || !principal->isWindow() || !principal->isVisible()) return propio;
    return marco(principal);
}

QRect Forma::Exterior() const {
    QWidget* m = Marco();
    return m->isWindow() ? m->geometry().marginsAdded(Borde()) : m->geometry();
}

void Forma::MoverA(const QPoint& esquina) {
    QWidget* m = Marco();
    // A window's move places its frame once the frame is there, else its inside.
    const bool enmarcada = m->frameGeometry() != m->geometry();
    if (!m->isWindow() || enmarcada || !m->isVisible()) {
        m->move(esquina);
        return;
    }
    const QMargins b = Borde();
    m->move(esquina + QPoint(b.left(), b.top()));
}

double Forma::Left() const {
    if (EsDialogo() && !isVisible() && lugarOculto_) return double(lugarOculto_->x()) * TwipsPorPixel;
    return double(Exterior().x() - Origen().x()) * TwipsPorPixel;
}

double Forma::Top() const {
    if (EsDialogo() && !isVisible() && lugarOculto_) return double(lugarOculto_->y()) * TwipsPorPixel;
    return double(Exterior().y() - Origen().y()) * TwipsPorPixel;
}

double Forma::Width() const { return double(Exterior().width()) * TwipsPorPixel; }

double Forma::Height() const { return double(Exterior().height()) * TwipsPorPixel; }

void Forma::setLeft(double twips) {
    if (EsDialogo() && !isVisible()) {
        lugarOculto_ = QPoint(APixeles(twips), int(std::lround(Top() / TwipsPorPixel)));
        return;
    }
    MoverA(QPoint(APixeles(twips) + Origen().x(), Exterior().y()));
}

void Forma::setTop(double twips) {
    if (EsDialogo() && !isVisible()) {
        lugarOculto_ = QPoint(int(std::lround(Left() / TwipsPorPixel)), APixeles(twips));
        return;
    }
    MoverA(QPoint(Exterior().x(), APixeles(twips) + Origen().y()));
}

void Forma::setVisible(bool visible) {
    if (EsDialogo() && visible != isVisible()) {
        if (visible && lugarOculto_) {
            // Before it shows, the window system places the frame itself where it can.
            move(*lugarOculto_ + Origen());
            lugarOculto_.reset();
        } else if (!visible) {
            lugarOculto_ = Exterior().topLeft() - Origen();
        }
    }
    QWidget::setVisible(visible);
}

void Forma::setWidth(double twips) {
    QWidget* m = Marco();
    const QMargins b = Borde();
    m->resize(std::max(1, APixeles(twips) - b.left() - b.right()), m->height());
}

void Forma::setHeight(double twips) {
    QWidget* m = Marco();
    const QMargins b = Borde();
    m->resize(m->width(), std::max(1, APixeles(twips) - b.top() - b.bottom()));
}

QSize Forma::sizeHint() const {
    if (tamanoDiseno_.isValid()) return tamanoDiseno_;
    return QWidget::sizeHint();
}

bool Forma::Visible() const { return !Marco()->isHidden(); }

void Forma::Show() {
    bool estaba = Visible();
    // A form that opens forgets where the focus was when it closed.
    if (!estaba && teclas_)
        if (QWidget* f = focusWidget(); f && f != this) f->clearFocus();
    if (sub_) {
        if (QWidget* principal = VentanaPrincipal(); principal && principal->isHidden()) principal->show();
        QWidget::show();
        sub_->show();
        sub_->raise();
        if (QMdiArea* area = AreaMdi()) area->setActiveSubWindow(sub_);
    } else {
        show();
        raise();
        activateWindow();
    }
    if (!estaba || activa_ != this) Activar();
    if (!estaba && Pulsable(aceptar_, this)) EnfocarPrimerCampo();
    if (!estaba && g_alAbrir()) g_alAbrir()(*this);
}

void Forma::FijarTeclas(QAbstractButton* aceptar, QAbstractButton* cancelar) {
    aceptar_ = aceptar;
    cancelar_ = cancelar;
    if (teclas_) return;
    teclas_ = true;
    // Before the control that has the focus sees the key: a box that takes only digits
    // does not swallow it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, [this] { PulsarCancelar(); });
}

void Forma::PulsarCancelar() {
    if (!cancelar_)
        Unload();
    else if (Pulsable(cancelar_, this))
        cancelar_->click();
}

void Forma::EnfocarPrimerCampo() {
    // A field the form's own activation chose keeps the focus.
    const QWidget* elegido = focusWidget();
    if (elegido && elegido != this && !qobject_cast<const QPushButton*>(elegido)) return;
    if (QWidget* campo = PrimerCampo(this)) campo->setFocus(Qt::TabFocusReason);
}

void Forma::keyPressEvent(QKeyEvent* evento) {
    // Enter that the control with the focus left alone presses a button of the form.
    const bool enter = evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter;
    if (teclas_ && enter && (evento->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto* boton = qobject_cast<QPushButton*>(QApplication::focusWidget());
        QAbstractButton* pulsar = boton && isAncestorOf(boton) ? boton : aceptar_.data();
        if (Pulsable(pulsar, this)) {
            pulsar->click();
            return;
        }
    }
    QWidget::keyPressEvent(evento);
}

void Forma::SetFocus() {
    if (sub_) {
        if (QMdiArea* area = AreaMdi()) area->setActiveSubWindow(sub_);
    } else {
        activateWindow();
    }
    setFocus();
}

void Forma::Hide() {
    activadaDeVerdad_ = false;
    Marco()->hide();
    if (activa_ == this) activa_ = nullptr;
}

void Forma::Unload() {
    if (Form_QueryUnload()) return;
    bool cancelar = false;
    Form_Unload(cancelar);
    if (cancelar) return;
    Hide();
}

void Forma::setBackColor(const QColor& color) {
    colorFondo_ = color;
    update();
}

void Forma::setPicture(const QImage& imagen) {
    picture_ = imagen;
    update();
}

void Forma::Activar() {
    if (activa_ == this) return;
    Forma* anterior = activa_;
    activa_ = this;
    // A window of its own loses the activation only when the window system had
    // given it: a form shown while another window kept the focus is not deactivated.
    if (anterior && (anterior->sub_ || anterior->activadaDeVerdad_)) anterior->Form_Deactivate();
    if (anterior) anterior->activadaDeVerdad_ = false;
    if (activa_ == this) Form_Activate();
}

void Forma::closeEvent(QCloseEvent* evento) {
    evento->ignore();
    Unload();
}

void Forma::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colorFondo_);
    if (!picture_.isNull()) p.drawImage(0, 0, picture_);
}

void Forma::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    Form_Resize();
}

bool Forma::event(QEvent* evento) {
    // Only a change between forms counts: a message box or another program taking
    // the focus deactivates nothing.
    if (evento->type() == QEvent::WindowActivate && isWindow() && isVisible()) {
        Activar();
        activadaDeVerdad_ = true;
    }
    return QWidget::event(evento);
}
