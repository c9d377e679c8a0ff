#include "app/AjusteTextos.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <vector>

namespace {

QString SinAtajo(QString texto) {
    // "&&" shows one "&"; a single "&" marks the shortcut and takes no room.
    texto.replace("&&", QString(QChar(1)));
    texto.remove(u'&');
    texto.replace(QChar(1), u'&');
    return texto;
}

// Plain frames and panels hold controls; every other widget with children is a
// control made of parts (lists, boxes, pictures) whose parts are its own business.
bool EsMarco(const QWidget* w) {
    if (w->layout()) return false;
    if (qobject_cast<const QGroupBox*>(w)) return true;
    const QMetaObject* clase = w->metaObject();
    return clase == &QWidget::staticMetaObject || clase == &QFrame::staticMetaObject;
}

bool SeSolapanEnVertical(const QRect& a, const QRect& b) { return a.top() <= b.bottom() && b.top() <= a.bottom(); }

void FijarAncho(QWidget* w, int ancho) {
    if (w->minimumWidth() == w->maximumWidth())
        w->setFixedWidth(ancho);
    else
        w->resize(ancho, w->height());
}

}  // namespace

int AnchoNecesario(const QWidget* control) {
    if (auto* l = qobject_cast<const QLabel*>(control)) {
        if (l->text().isEmpty() || l->wordWrap() || !l->pixmap().isNull()) return 0;
        return l->sizeHint().width();
    }
    if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control)) {
        auto* b = static_cast<const QAbstractButton*>(control);
        return b->text().isEmpty() ? 0 : b->sizeHint().width();
    }
    if (auto* b = qobject_cast<const QPushButton*>(control)) {
        if (b->text().isEmpty()) return 0;
        return b->fontMetrics().horizontalAdvance(SinAtajo(b->text())) + 12;
    }
    if (auto* g = qobject_cast<const QGroupBox*>(control)) {
        if (g->title().isEmpty()) return 0;
        return g->fontMetrics().horizontalAdvance(SinAtajo(g->title())) + 16;
    }
    return 0;
}

void DisponerAhora(QWidget* ventana) {
    if (!ventana || !ventana->layout()) return;
    // The window and the frames in it with a layout, each before what it holds; other
    // windows (menus, dialogs owned by this one) are theirs to lay out.
    std::vector<QWidget*> dispuestos{ventana};
    for (QWidget* w : ventana->findChildren<QWidget*>())
        if (w->layout() && w->window() == ventana->window()) dispuestos.push_back(w);
    // Sizes cached for the texts before are dropped everywhere first, innermost first,
    // since a frame's size is what its own layout asks for.
    for (auto i = dispuestos.rbegin(); i != dispuestos.rend(); ++i) {
        (*i)->layout()->invalidate();
        (*i)->updateGeometry();
    }
    QLayout* l = ventana->layout();
    l->activate();
    const QSize minimo = l->totalMinimumSize();
    if (minimo.width() > ventana->width() || minimo.height() > ventana->height()) {
        ventana->resize(ventana->size().expandedTo(minimo));
        l->invalidate();
        l->activate();
    }
    // Each frame is laid out in the room its parent's layout has just given it.
    for (size_t i = 1; i < dispuestos.size(); ++i) dispuestos[i]->layout()->activate();
}

int AjustarTextos(QWidget* ventana) {
    if (!ventana) return 0;
    if (ventana->layout()) {
        const int antes = ventana->width();
        DisponerAhora(ventana);
        return ventana->width() - antes;
    }
    std::vector<QWidget*> hijos;
    for (QObject* o : ventana->children())
        if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) hijos.push_back(w);
    // Left to right, so that a control pushed right can push the next one in turn.
    std::stable_sort(hijos.begin(), hijos.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });

    // Only what is shown, or text that may show later, decides how wide the window must be.
    auto cuenta = [ventana](QWidget* w) { return w->isVisibleTo(ventana) || AnchoNecesario(w) > 0; };
    const int anchoAntes = ventana->width();
    int derechaAntes = 0;
    for (QWidget* w : hijos)
        if (cuenta(w)) derechaAntes = std::max(derechaAntes, w->geometry().right() + 1);

    for (QWidget* w : hijos) {
        const QRect antes = w->geometry();
        if (EsMarco(w) && !w->children().isEmpty()) AjustarTextos(w);
        if (const int necesita = AnchoNecesario(w); necesita > w->width()) FijarAncho(w, necesita);
        const int crece = w->width() - antes.width();
        if (crece <= 0) continue;
        for (QWidget* otro : hijos) {
            if (otro == w || otro->x() < antes.right() - 1) continue;
            if (!SeSolapanEnVertical(otro->geometry(), antes)) continue;
            otro->move(otro->x() + crece, otro->y());
        }
    }

    int derecha = 0;
    for (QWidget* w : hijos)
        if (cuenta(w)) derecha = std::max(derecha, w->geometry().right() + 1);
    const int margen = std::max(0, anchoAntes - derechaAntes);
    if (derecha + margen > anchoAntes) FijarAncho(ventana, derecha + margen);
    return ventana->width() - anchoAntes;
}
