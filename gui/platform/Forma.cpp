#include "platform/Forma.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>

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

QSize Forma::Borde() const {
    QWidget* m = Marco();
    if (m->isWindow()) {
        QRect f = m->frameGeometry(), g = m->geometry();
        return {f.width() - g.width(), f.height() - g.height()};
    }
    return {0, 0};
}

double Forma::Left() const {
    if (EsDialogo() && !isVisible() && lugarOculto_) return double(lugarOculto_->x()) * TwipsPorPixel;
    QWidget* m = Marco();
    int x = m->isWindow() ? m->frameGeometry().x() : m->x();
    return double(x - Origen().x()) * TwipsPorPixel;
}

double Forma::Top() const {
    if (EsDialogo() && !isVisible() && lugarOculto_) return double(lugarOculto_->y()) * TwipsPorPixel;
    QWidget* m = Marco();
    int y = m->isWindow() ? m->frameGeometry().y() : m->y();
    return double(y - Origen().y()) * TwipsPorPixel;
}

double Forma::Width() const {
    QWidget* m = Marco();
    return double(m->isWindow() ? m->frameGeometry().width() : m->width()) * TwipsPorPixel;
}

double Forma::Height() const {
    QWidget* m = Marco();
    return double(m->isWindow() ? m->frameGeometry().height() : m->height()) * TwipsPorPixel;
}

void Forma::setLeft(double twips) {
    QWidget* m = Marco();
    if (EsDialogo() && !isVisible()) {
        lugarOculto_ = QPoint(APixeles(twips), int(std::lround(Top() / TwipsPorPixel)));
        return;
    }
    m->move(APixeles(twips) + Origen().x(), m->isWindow() ? m->frameGeometry().y() : m->y());
}

void Forma::setTop(double twips) {
    QWidget* m = Marco();
    if (EsDialogo() && !isVisible()) {
        lugarOculto_ = QPoint(int(std::lround(Left() / TwipsPorPixel)), APixeles(twips));
        return;
    }
    m->move(m->isWindow() ? m->frameGeometry().x() : m->x(), APixeles(twips) + Origen().y());
}

void Forma::setVisible(bool visible) {
    if (EsDialogo() && visible != isVisible()) {
        if (visible && lugarOculto_) {
            move(*lugarOculto_ + Origen());
            lugarOculto_.reset();
        } else if (!visible) {
            lugarOculto_ = frameGeometry().topLeft() - Origen();
        }
    }
    QWidget::setVisible(visible);
}

void Forma::setWidth(double twips) {
    QWidget* m = Marco();
    m->resize(std::max(1, APixeles(twips) - Borde().width()), m->height());
}

void Forma::setHeight(double twips) {
    QWidget* m = Marco();
    m->resize(m->width(), std::max(1, APixeles(twips) - Borde().height()));
}

QSize Forma::sizeHint() const {
    if (tamanoDiseno_.isValid()) return tamanoDiseno_;
    return QWidget::sizeHint();
}

bool Forma::Visible() const { return !Marco()->isHidden(); }

void Forma::Show() {
    bool estaba = Visible();
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
    if (!estaba && g_alAbrir()) g_alAbrir()(*this);
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
