#include "stage_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "view3d/stage_device.h"

namespace tavrelia {

namespace {
constexpr GLfloat kStageMaterial[] = {0.3f, 0.3f, 0.3f, 0.9f};
constexpr GLfloat kGrey[] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr GLfloat kLightPosition[] = {0.5f, 0.75f, 1.5f, 1.0f};   // a point light
constexpr int kRoundSlices = 21;

void material(const GLfloat* colour)
{
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, colour);
}

// One wall of the box, its normal pointing inwards.
struct Wall {
    GLfloat normal[3];
    GLfloat corners[4][3];
};
constexpr Wall kWalls[] = {
    {{0, 1, 0}, {{-1, -1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, -1, -1}}},    // floor
    {{0, -1, 0}, {{-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1}}},       // ceiling
    {{1, 0, 0}, {{-1, -1, -1}, {-1, 1, -1}, {-1, 1, 1}, {-1, -1, 1}}},    // left
    {{-1, 0, 0}, {{1, -1, -1}, {1, -1, 1}, {1, 1, 1}, {1, 1, -1}}},       // right
    {{0, 0, 1}, {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}}},    // back
};
}  // namespace

void StageRenderer::initialize()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    release();
    solids_ = gluNewQuadric();
    beams_ = gluNewQuadric();
    gluQuadricOrientation(solids_, GLU_OUTSIDE);
    gluQuadricOrientation(beams_, GLU_OUTSIDE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void StageRenderer::release()
{
    if (solids_)
        gluDeleteQuadric(solids_);
    if (beams_)
        gluDeleteQuadric(beams_);
    solids_ = beams_ = nullptr;
}

void StageRenderer::setProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.01, 10.0);
    // The eye sits on the projection, so the model-view stays the identity that the
    // light's position was given under.
    gluLookAt(0.0, 0.0, 2.577, 0.0, 0.0, -5.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void StageRenderer::render(const DeviceTables& devices)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawStage();
    glEnable(GL_BLEND);
    // Slot order, unsorted: a beam drawn later may be hidden by one drawn earlier.
    for (int slot = 0; slot < 256; ++slot) {
        if (devices.DevType[slot] != 0)
            drawDevice(StageDevice::of(devices, slot));
    }
    glDisable(GL_BLEND);
}

void StageRenderer::drawStage()
{
    material(kStageMaterial);
    glBegin(GL_QUADS);
    for (const Wall& wall : kWalls) {
        glNormal3f(wall.normal[0], wall.normal[1], wall.normal[2]);
        for (const auto& c : wall.corners)
            glVertex3f(c[0], c[1], c[2]);
    }
    glEnd();
}

void StageRenderer::drawDevice(const StageDevice& d)
{
    using Kind = StageDevice::Kind;
    glPushMatrix();
    if (d.hasBody()) {
        // A small square prism above the lamp.
        glPushMatrix();
        glTranslatef(d.x, d.y - 0.05f, d.z);
        glRotatef(90, 0, 1, 0);
        glRotatef(45, 0, 0, 1);
        material(kGrey);
        const double radius = d.kind == Kind::Head ? 0.04 : 0.05;
        gluCylinder(solids_, radius, radius, 0.05, 4, 1);
        glPopMatrix();
    }
    glTranslatef(d.x, d.y, d.z);
    if (d.turned()) {
        glRotatef(d.pan, 0, 1, 0);
        glRotatef(d.tilt, 1, 0, 0);
    }
    if (d.beam) {
        material(d.beamColour.data());
        gluCylinder(beams_, 0.0, d.beamEndRadius, d.beamLength, kRoundSlices, 1);
    }
    material(kGrey);
    switch (d.kind) {
    case Kind::Head:
        gluCylinder(solids_, 0.03, 0.03, 0.1, kRoundSlices, 1);
        break;
    case Kind::Scanner:
        gluDisk(solids_, 0.0, 0.03, 4, 1);   // a small square mirror
        break;
    case Kind::Par:
        gluCylinder(solids_, 0.03, 0.04, 0.1, kRoundSlices, 1);
        break;
    default:
        break;
    }
    glPopMatrix();
}

}  // namespace tavrelia
