#pragma once

#include <QObject>
#include <QString>

namespace kqvdr {

// One axis of a CGraph, found by its name (objectName) through CGraph::axis().
class CGraphAxis : public QObject {
    Q_OBJECT

public:
    CGraphAxis(const QString& name, double minimum, double maximum, QObject* parent = nullptr);

    QString name() const { return objectName(); }
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }

    // A range with a non-finite end is ignored; setting the range the axis already has does
    // nothing, so the plot is not redrawn for it.
    void setRange(double minimum, double maximum);

signals:
    void rangeChanged(double minimum, double maximum);

private:
    double minimum_;
    double maximum_;
};

} // namespace kqvdr
