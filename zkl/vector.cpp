#include "zkl/vector.h"

#include <cmath>
#include <new>

#include "zkl/fmath.h"

namespace zkl {

cVector& cVector::operator+=(const cVector& o)
{
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
}

cVector& cVector::operator-=(const cVector& o)
{
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
}

cVector& cVector::operator*=(const cVector& o)
{
    x *= o.x;
    y *= o.y;
    z *= o.z;
    return *this;
}

cVector& cVector::operator/=(const cVector& o)
{
    x /= o.x;
    y /= o.y;
    z /= o.z;
    return *this;
}

cVector cVector::operator+(const cVector& o) const { return cVector(*this) += o; }
cVector cVector::operator-(const cVector& o) const { return cVector(*this) -= o; }
cVector cVector::operator*(const cVector& o) const { return cVector(*this) *= o; }
cVector cVector::operator/(const cVector& o) const { return cVector(*this) /= o; }

bool cVector::operator==(const cVector& o) const { return x == o.x && y == o.y && z == o.z; }

cVectorList::~cVectorList() { Clear(); }

void cVectorList::Append(cVector p)
{
    // Allocate before touching the list, so a failure leaves it exactly as it was.
    cVectorNod* node = new (std::nothrow) cVectorNod;
    if (!node)
        return;
    node->value = p;
    node->next = nullptr;
    if (!head) {
        head = node;
        return;
    }
    cVectorNod* tail = head;
    while (tail->next)
        tail = tail->next;
    tail->next = node;
}

void cVectorList::Clear()
{
    cVectorNod* node = head;
    while (node) {
        cVectorNod* next = node->next;
        delete node;
        node = next;
    }
    head = nullptr;
}

void SampleRadialSphere(float divLon, float divLat, SphereRadius radius, cVectorList* list)
{
    if (!radius || !list || !(divLon > 0.0f) || !(divLat > 0.0f))
        return;
    const double dlon = 360.0 / divLon;
    const double dlat = 360.0 / divLat;
    if (!StepReaches(0.0, dlon, 360.0) || !StepReaches(0.0, dlat, 180.0))
        return;
    for (double lon = 0.0; lon < 360.0; lon += dlon) {
        for (double lat = 0.0; lat < 180.0; lat += dlat) {
            const double r = radius(static_cast<float>(lon), static_cast<float>(lat));
            list->Append({r * std::sin(lat * DEG) * std::cos(lon * DEG),
                          r * std::sin(lat * DEG) * std::sin(lon * DEG), r * std::cos(lat * DEG)});
        }
    }
}

void SampleRevolution(float length, float divLength, float divAngle, SweepRadius radius,
                      cVectorList* list)
{
    float da = 0.0f;
    float dy = 0.0f;
    if (!radius || !list || !RingSteps(length, divLength, divAngle, da, dy))
        return;
    for (float a = 0.0f; a <= 360.0f; a += da) {
        for (float y = 0.0f; y < length; y += dy) {
            const double r = radius(y, a);
            list->Append({std::cos(a * DEG) * r, y, std::sin(a * DEG) * r});
        }
    }
}

}  // namespace zkl
