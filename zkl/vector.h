#pragma once
// cVector: three doubles with componentwise arithmetic. cVectorList: a singly linked list of
// them, owned node by node, into which the point samplers below write what they compute.

namespace zkl {

class cVector {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    cVector& operator+=(const cVector& o);
    cVector& operator-=(const cVector& o);
    cVector& operator*=(const cVector& o);  // componentwise product
    cVector& operator/=(const cVector& o);  // componentwise quotient; IEEE results for zeros

    cVector operator+(const cVector& o) const;
    cVector operator-(const cVector& o) const;
    cVector operator*(const cVector& o) const;
    cVector operator/(const cVector& o) const;

    bool operator==(const cVector& o) const;  // exact in every component
};

class cVectorNod {
public:
    cVectorNod* next = nullptr;
    cVector value;
};

// Nodes are walked by following head and next. Appending walks the whole list.
class cVectorList {
public:
    cVectorNod* head = nullptr;

    cVectorList() = default;
    ~cVectorList();
    cVectorList(const cVectorList&) = delete;
    cVectorList& operator=(const cVectorList&) = delete;

    // Adds a copy of p at the tail. When no node can be allocated the list stays as it was.
    void Append(cVector p);
    // Frees every node; head becomes null.
    void Clear();
};

// Radius callbacks of the point samplers (and of the surface generators in zkl/objgen.h).
using SweepRadius = double (*)(double y, double angle);
using SphereRadius = double (*)(float longitude, float latitude);

// Points of a sphere whose radius varies with longitude and latitude (degrees), longitude outer,
// latitude inner, both from 0 while below 360 and 180.
void SampleRadialSphere(float divLon, float divLat, SphereRadius radius, cVectorList* list);
// Points of a surface of revolution around the y axis: angle from 0 while at most 360, height
// from 0 while below length.
void SampleRevolution(float length, float divLength, float divAngle, SweepRadius radius,
                      cVectorList* list);

}  // namespace zkl
