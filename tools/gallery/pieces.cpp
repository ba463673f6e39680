#include "tools/gallery/pieces.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "tools/gallery/images.h"
#include "zkl/fmath.h"
#include "zkl/harmonicalsphere.h"
#include "zkl/lights.h"
#include "zkl/materials.h"
#include "zkl/objgen.h"
#include "zkl/spacecloud.h"
#include "zkl/vector.h"

using namespace zkl;

namespace {

// The picture files in the scratch folder.
const char* const checkerFile = "checker.bmp";
const char* const tileFile = "tile.bmp";
const char* const stripesFile = "stripes.bmp";
const char* const glowFile = "glow.bmp";
const char* const mapFile = "map.bmp";
const char* const reliefColourFile = "relief-colour.bmp";
const char* const reliefHeightFile = "relief-height.bmp";
const char* const fontFile = "font.bmp";

const unsigned char discColours[7][3] = {
    {255, 80, 80}, {255, 200, 60}, {120, 255, 90}, {70, 220, 255}, {120, 120, 255}, {255, 110, 230}, {255, 255, 255},
};

std::string In(const std::string& folder, const std::string& name) { return folder + "/" + name; }
std::string DiscFile(int i) { return "disc" + std::to_string(i) + ".bmp"; }

// Every picture starts from the same state, whatever the one before left on.
void Fresh(float red, float green, float blue)
{
    glDisable(GL_LIGHTING);
    for (GLenum light = GL_LIGHT0; light <= GL_LIGHT7; ++light)
        glDisable(light);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glPointSize(1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(galleryWidth) / galleryHeight, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// A textured rectangle in the plane z = 0 from (x0, y0) to (x1, y1).
void Panel(float x0, float y0, float x1, float y1)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(x0, y0, 0);
    glTexCoord2f(1, 0);
    glVertex3f(x1, y0, 0);
    glTexCoord2f(1, 1);
    glVertex3f(x1, y1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(x0, y1, 0);
    glEnd();
}

double BumpySphere(float lon, float lat) { return 1.3 + 0.15 * std::sin(5 * lon * DEG) * std::sin(4 * lat * DEG); }
double Ring(double y, double) { return 1.9 - 0.25 * y; }

void PointList(GalleryAssets&)
{
    Fresh(0.02f, 0.02f, 0.06f);
    cVectorList sphere;
    SampleRadialSphere(60.0f, 60.0f, BumpySphere, &sphere);
    cVectorList ring;
    SampleRevolution(1.0f, 4.0f, 72.0f, Ring, &ring);
    glTranslatef(0.0f, 0.0f, -5.5f);
    glRotatef(-65.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(20.0f, 0.0f, 0.0f, 1.0f);
    glPointSize(3.0f);
    glBegin(GL_POINTS);
    for (const cVectorNod* n = sphere.head; n; n = n->next) {
        const cVector& p = n->value;
        glColor3d(0.5 + 0.35 * p.x, 0.5 + 0.35 * p.y, 0.6 + 0.3 * p.z);
        glVertex3d(p.x, p.y, p.z);
    }
    glColor3f(1.0f, 0.85f, 0.3f);
    // The ring stands around the y axis of the samples; lay it around the sphere's pole axis.
    for (const cVectorNod* n = ring.head; n; n = n->next)
        glVertex3d(n->value.x, n->value.z, n->value.y - 0.4);
    glEnd();
}

void LitMaterial(GalleryAssets&)
{
    Fresh(0.05f, 0.05f, 0.08f);
    const float dim[4] = {0.05f, 0.05f, 0.05f, 1.0f};
    cLight key;
    const float keyAt[4] = {3.0f, 3.0f, 2.0f, 1.0f};
    const float warm[4] = {1.0f, 0.85f, 0.7f, 1.0f};
    key.SetPosition(keyAt);
    key.SetDiffuse(warm);
    key.SetAmbient(dim);
    cLight rim;
    const float rimAt[4] = {-4.0f, -1.0f, 0.0f, 1.0f};
    const float cold[4] = {0.2f, 0.4f, 1.0f, 1.0f};
    rim.SetPosition(rimAt);
    rim.SetDiffuse(cold);
    rim.SetSpecular(cold);
    rim.SetAmbient(dim);
    key.Enable();
    rim.Enable();

    cMaterial material;
    const float paint[4] = {0.9f, 0.25f, 0.15f, 1.0f};
    const float shade[4] = {0.3f, 0.1f, 0.05f, 1.0f};
    material.SetDiffuse(paint);
    material.SetAmbient(shade);
    material.SetShininess(30.0f);
    material.Apply();
    glTranslatef(0.0f, 0.0f, -4.0f);
    GLUquadric* sphere = gluNewQuadric();
    gluSphere(sphere, 1.3, 64, 48);
    gluDeleteQuadric(sphere);
    material.Reset();
    rim.Disable();
    key.Disable();
}

void BrightnessAlpha(GalleryAssets& assets)
{
    Fresh(0.0f, 0.0f, 0.0f);
    glDisable(GL_DEPTH_TEST);
    glTranslatef(0.0f, 0.0f, -2.5f);
    glColor3f(0.22f, 0.22f, 0.26f);
    assets.checker.Use();
    Panel(-1.4f, -1.05f, 1.4f, 1.05f);
    assets.checker.StopUsing();
    // One, two and three layers of the same glow: each layer lets at most 37% of it through.
    const float tints[3][3] = {{1.0f, 0.95f, 0.8f}, {0.6f, 0.85f, 1.0f}, {1.0f, 0.6f, 0.4f}};
    for (int layers = 1; layers <= 3; ++layers) {
        const float x = -0.9f + 0.9f * (layers - 1);
        glColor3fv(tints[layers - 1]);
        for (int k = 0; k < layers; ++k) {
            assets.glow.Use();
            Panel(x - 0.55f, -0.55f, x + 0.55f, 0.55f);
            assets.glow.StopUsing();
        }
    }
}

void ColourReplacement(GalleryAssets& assets)
{
    Fresh(0.15f, 0.15f, 0.15f);
    glTranslatef(0.0f, 0.0f, -2.5f);
    assets.stripes.Use();
    Panel(-1.3f, -0.6f, -0.1f, 0.6f);
    assets.stripes.StopUsing();
    assets.recoloured.Use();
    Panel(0.1f, -0.6f, 1.3f, 0.6f);
    assets.recoloured.StopUsing();
}

void Relief(GalleryAssets& assets)
{
    Fresh(0.1f, 0.12f, 0.16f);
    // The relief lies in the xy plane with heights along +z; tip it back into a landscape.
    glTranslatef(0.0f, -0.2f, -5.2f);
    glRotatef(-60.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(-1.6f, 1.6f, 0.0f);
    assets.relief.Draw(0.1, 0.1, 0.0016);
}

void TextureFont(GalleryAssets& assets)
{
    Fresh(0.08f, 0.1f, 0.2f);
    glDisable(GL_DEPTH_TEST);
    glTranslatef(-1.85f, 0.35f, -5.0f);
    glColor3f(1.0f, 0.9f, 0.35f);
    assets.font.Print("TEXTURE FONT\nZKL GALLERY!");
}

void HarmonicShape(GalleryAssets& assets)
{
    Fresh(0.05f, 0.05f, 0.05f);
    glTranslatef(0.0f, 0.0f, -7.0f);
    glRotatef(-25.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(35.0f, 0.0f, 1.0f, 0.0f);
    assets.tile.Use();
    DrawHarmonicShape(24, GL_QUADS);
    assets.tile.StopUsing();
}

void Blob(GalleryAssets&)
{
    Fresh(0.1f, 0.1f, 0.12f);
    glTranslatef(0.0f, 0.0f, -4.5f);
    glRotatef(-70.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    DrawBlob(1.2f, 40.0f);
}

double Waves(float x, float z) { return 0.35 * std::sin(2.0 * x) * std::cos(1.5 * z); }

void HeightGrid(GalleryAssets& assets)
{
    Fresh(0.1f, 0.12f, 0.16f);
    glTranslatef(0.0f, -0.4f, -6.0f);
    glRotatef(35.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(20.0f, 0.0f, 1.0f, 0.0f);
    assets.checker.Use();
    DrawHeightGrid(4.0f, 4.0f, 24.0f, 24.0f, Waves, GL_QUADS);
    assets.checker.StopUsing();
}

double Vase(float y, float angle) { return 0.55 + 0.3 * std::sin(2.4 * y) + 0.03 * std::cos(8.0 * angle * DEG); }

void Revolution(GalleryAssets& assets)
{
    Fresh(0.12f, 0.1f, 0.1f);
    glTranslatef(0.0f, -1.3f, -6.0f);
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
    assets.tile.Use();
    DrawRevolution(2.6f, 12.0f, 24.0f, Vase, GL_QUADS);
    assets.tile.StopUsing();
}

double Tube(double y, double) { return 0.22 + 0.06 * y; }
PointVector Snake(double y) { return {0.9 * std::sin(2.2 * y), 0.0, 0.6 * std::cos(1.7 * y)}; }

void Sweep(GalleryAssets& assets)
{
    Fresh(0.1f, 0.12f, 0.1f);
    glTranslatef(0.0f, -1.5f, -6.5f);
    glRotatef(15.0f, 1.0f, 0.0f, 0.0f);
    assets.tile.Use();
    DrawSweep(3.0, 30.0, 12.0, Tube, Snake, GL_QUADS);
    assets.tile.StopUsing();
}

double Lumpy(float lon, float lat) { return 1.25 + 0.12 * std::cos(3 * lon * DEG) * std::sin(2 * lat * DEG); }

void RadialSphere(GalleryAssets& assets)
{
    Fresh(0.02f, 0.02f, 0.05f);
    glTranslatef(0.0f, 0.0f, -4.5f);
    glRotatef(-75.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(200.0f, 0.0f, 0.0f, 1.0f);
    assets.worldMap.Use();
    DrawRadialSphere(48.0f, 48.0f, Lumpy, GL_QUADS);
    assets.worldMap.StopUsing();
}

void Cylinder(GalleryAssets&)
{
    Fresh(0.06f, 0.06f, 0.08f);
    cLight light;
    const float at[4] = {3.0f, 2.0f, 3.0f, 1.0f};
    const float dim[4] = {0.05f, 0.05f, 0.05f, 1.0f};
    light.SetPosition(at);
    light.SetAmbient(dim);
    light.Enable();
    cMaterial material;
    const float paint[4] = {0.3f, 0.75f, 0.4f, 1.0f};
    material.SetDiffuse(paint);
    material.SetAmbient(dim);
    material.SetShininess(20.0f);
    material.Apply();
    glTranslatef(0.0f, -1.0f, -5.5f);
    glRotatef(15.0f, 1.0f, 0.0f, 0.0f);
    DrawCylinder(2.0f, 8.0f, 36.0f, 0.9f, GL_QUADS);
    material.Reset();
    light.Disable();
}

void SpriteField(GalleryAssets&)
{
    Fresh(0.01f, 0.01f, 0.04f);
    glDisable(GL_DEPTH_TEST);
    // A fixed scatter, so every run draws the same field.
    uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1u << 24);
    };
    for (int i = 0; i < 100; ++i) {
        SpriteRecord& r = spriteRecords[i];
        r.z = static_cast<float>(-6.0 - 60.0 * next());
        const double spread = -r.z * 0.45;
        r.x = static_cast<float>((next() * 2.0 - 1.0) * spread);
        r.y = static_cast<float>((next() * 2.0 - 1.0) * spread * 0.75);
        r.textureIndex = static_cast<float>(i % 7);
    }
    DrawSpriteField(0.0f);
}

}  // namespace

bool WriteGalleryPictures(const std::string& folder)
{
    const unsigned char paper[3] = {235, 235, 225};
    const unsigned char ink[3] = {40, 90, 160};
    bool ok = SavePicture(In(folder, checkerFile), Checker(64, 8, paper, ink)) &&
              SavePicture(In(folder, tileFile), Tile(32)) &&
              SavePicture(In(folder, stripesFile), BlueStripes(64)) && SavePicture(In(folder, glowFile), Glow(64)) &&
              SavePicture(In(folder, mapFile), WorldMap(128, 64)) &&
              SavePicture(In(folder, reliefColourFile), ReliefColours(64)) &&
              SavePicture(In(folder, reliefHeightFile), ReliefHeights(33)) &&
              SavePicture(In(folder, fontFile), GlyphAtlas());
    for (int i = 0; i < 7 && ok; ++i)
        ok = SavePicture(In(folder, DiscFile(i)), Disc(32, discColours[i]));
    return ok;
}

bool LoadGalleryAssets(GalleryAssets& a, const std::string& folder)
{
    bool ok = a.checker.LoadOpaque(In(folder, checkerFile).c_str()) && a.tile.LoadOpaque(In(folder, tileFile).c_str()) && a.stripes.LoadOpaque(In(folder, stripesFile).c_str()) &&
              a.glow.LoadBrightnessAlpha(In(folder, glowFile).c_str()) &&
              a.worldMap.LoadOpaque(In(folder, mapFile).c_str());
    // The recoloured stripes: pure blue becomes orange before the upload.
    ok = ok && a.recoloured.ReadImage(In(folder, stripesFile).c_str());
    if (ok) {
        ReplaceImageColour(a.recoloured.image, 0x0000FF, 0xFF8C00, 3);
        a.recoloured.Upload(GL_RGB, GL_LINEAR, GL_LINEAR);
        a.recoloured.StopUsing();
    }
    a.relief.Load(In(folder, reliefColourFile).c_str(), In(folder, reliefHeightFile).c_str(), 32, 32);
    a.font.Load(In(folder, fontFile).c_str(), GalleryFontMap(), GalleryFontColumns(), GalleryFontRows(), 0.3, 0.42);
    ok = ok && a.relief.id != 0 && a.relief.heightmap && a.font.id != 0;
    for (int i = 0; i < 7 && ok; ++i)
        ok = spriteTextures[i].LoadMaskedNoTolerance(In(folder, DiscFile(i)).c_str(), 0);
    return ok;
}

const std::vector<GalleryPiece>& GalleryPieces()
{
    static const std::vector<GalleryPiece> pieces = {
        {"01-point-list", PointList},
        {"02-material-and-lights", LitMaterial},
        {"03-brightness-alpha", BrightnessAlpha},
        {"04-colour-replacement", ColourReplacement},
        {"05-relief", Relief},
        {"06-texture-font", TextureFont},
        {"07-harmonic-shape", HarmonicShape},
        {"08-blob", Blob},
        {"09-height-grid", HeightGrid},
        {"10-revolution", Revolution},
        {"11-sweep", Sweep},
        {"12-radial-sphere", RadialSphere},
        {"13-cylinder", Cylinder},
        {"14-sprite-field", SpriteField},
    };
    return pieces;
}
