// GL resources, matrices, polygon helpers and the shader source reader.
#include "testenv.h"

#include "avglglue.h"
#include "avglrenderer.h"
#include "avglresources.h"
#include "avlayerdraw.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_2_Core>
#include <QThread>
#include <cmath>
#include <memory>

namespace {
// Applies column-major m to (x, y, z, 1).
QVector3D transform(const float *m, float x, float y, float z)
{
  return QVector3D(m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                   m[2] * x + m[6] * y + m[10] * z + m[14]);
}

bool near(QVector3D a, QVector3D b)
{
  return (a - b).length() < 1e-4f;
}
} // namespace

class TestGLResources : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void matricesApplyInCallOrder();
  void rotationAxisIsNotNormalised();
  void roundedRectVertices();
  void chromaTextureStorage();
  void uploadIgnoresEmptyInput();
  void uploadAndReadBack();
  void framebufferResize();
  void shaderSourceReader();
  void rendererBuildsEveryFixedProgram();
  void compileRetriesWithMediump();
  void rendererContextFollowsOwners();

private:
  std::unique_ptr<AVHeadlessGLHost> _host;
};

void TestGLResources::initTestCase()
{
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY(_host->isValid());
  QVERIFY(_host->makeRootCurrent());
  setGLFunctionsFromCurrent();
  QVERIFY(avGL());
}

void TestGLResources::cleanupTestCase()
{
  clearGLFunctions();
  _host->doneRootCurrent();
  _host.reset();
}

void TestGLResources::matricesApplyInCallOrder()
{
  float m[16];
  identityMatrix(m);
  rotateMatrix(m, float(M_PI / 2), 0, 0, 1);
  translateMatrix(m, 10, 0, 0);
  QVERIFY(near(transform(m, 1, 0, 0), QVector3D(10, 1, 0)));

  identityMatrix(m);
  translateMatrix(m, 10, 0, 0);
  scaleMatrix(m, 2, 3, 1); // scales the translation too
  QVERIFY(near(transform(m, 1, 1, 0), QVector3D(22, 3, 0)));

  float other[16];
  identityMatrix(other);
  translateMatrix(other, 0, 5, 0);
  identityMatrix(m);
  scaleMatrix(m, 2, 2, 2);
  multiplyMatrix(m, other); // m becomes other x m: scale, then move
  QVERIFY(near(transform(m, 1, 1, 1), QVector3D(2, 7, 2)));
}

void TestGLResources::rotationAxisIsNotNormalised()
{
  float m[16];
  identityMatrix(m);
  rotateMatrix(m, 0, 0, 0, 2); // c = 1, t = 0: z z t + c stays 1, nothing else changes
  QVERIFY(near(transform(m, 1, 2, 3), QVector3D(1, 2, 3)));
  identityMatrix(m);
  rotateMatrix(m, float(M_PI), 0, 0, 2); // z z t + c = 4 * 2 - 1 = 7
  QVERIFY(near(transform(m, 0, 0, 1), QVector3D(0, 0, 7)));
}

void TestGLResources::roundedRectVertices()
{
  float out[160];
  QCOMPARE(makeRoundedRectVertices(out, 3, 0, 0, 10, 10, 0), 0);
  QCOMPARE(makeRoundedRectVertices(out, 4, -50, 25, 100, 50, 0), 4);
  const float quad[8] = {-50, -25, 50, -25, 50, 25, -50, 25};
  for (int i = 0; i < 8; ++i)
    QCOMPARE(out[i], quad[i]);

  // A 100 x 50 layer with radius 30: clamped to 25, 20 points a corner.
  QCOMPARE(makeRoundedRectVertices(out, 80, -50, 25, 100, 50, 30), 80);
  QCOMPARE(out[0], 50.0f); // first point on the right edge, radius below the top
  QCOMPARE(out[1], 0.0f);
  QCOMPARE(out[38], 25.0f); // last point of the first corner on the top edge
  QCOMPARE(out[39], 25.0f);
  // Counter-clockwise: positive signed area.
  double area = 0;
  for (int i = 0; i < 80; ++i) {
    const int j = (i + 1) % 80;
    area += double(out[2 * i]) * out[2 * j + 1] - double(out[2 * j]) * out[2 * i + 1];
  }
  QVERIFY(area > 0);
  // The inner rectangle of a 10 px border: 80 x 30, radius clamped from 20 to 15.
  QCOMPARE(makeRoundedRectVertices(out, 80, -40, 15, 80, 30, 20), 80);
  QCOMPARE(out[1], 0.0f);
  QCOMPARE(out[38], 25.0f);
}

void TestGLResources::chromaTextureStorage()
{
  AVTexture *chroma = createChromaTexture(1919, 1079);
  QVERIFY(chroma);
  QCOMPARE(chroma->width, 1919u);
  QCOMPARE(chroma->height, 1079u);
  QCOMPARE(textureKind(chroma), uint32_t(kAVTextureNV12));
  GLint width = 0, height = 0;
  avGL()->glBindTexture(GL_TEXTURE_2D, textureId(chroma));
  avGL()->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  avGL()->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  avGL()->glBindTexture(GL_TEXTURE_2D, 0);
  // An odd luma size still has chroma for its last column and row.
  QCOMPARE(width, 960);
  QCOMPARE(height, 540);
  destroyTexture(chroma);

  AVTexture *packed = createPackedYUV422Texture(640, 360);
  QCOMPARE(textureKind(packed), uint32_t(kAVTextureYUV422));
  avGL()->glBindTexture(GL_TEXTURE_2D, textureId(packed));
  avGL()->glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  avGL()->glBindTexture(GL_TEXTURE_2D, 0);
  QCOMPARE(width, 320);
  QCOMPARE(packed->width, 640u);
  destroyTexture(packed);
}

void TestGLResources::uploadIgnoresEmptyInput()
{
  AVTexture *texture = createRGBATexture(4, 4);
  const uint8_t pixels[64] = {};
  uploadBGRATexture(texture, nullptr, 2, 2, false);
  uploadBGRATexture(texture, pixels, 0, 2, false);
  uploadBGRATexture(texture, pixels, 2, 0, false);
  QCOMPARE(texture->width, 4u);
  QCOMPARE(texture->height, 4u);
  destroyTexture(texture);

  AVTexture empty{0, 8, GL_TEXTURE_2D, 1, 0};
  uint32_t stride = 12345;
  QVERIFY(!readTexturePixels(&empty, &stride));
  QCOMPARE(stride, 12345u);
  destroyTexture(nullptr);
}

void TestGLResources::uploadAndReadBack()
{
  AVFrameBuffer *framebuffer = createFrameBuffer(3, 2, false);
  QVERIFY(framebuffer);
  QCOMPARE(avGL()->glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
  // B, G, R, A rows, top first.
  const uint8_t pixels[24] = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255};
  uploadBGRATexture(frameBufferTexture(framebuffer), pixels, 3, 2, false);
  uint32_t stride = 0;
  uint8_t *read = readTexturePixels(frameBufferTexture(framebuffer), &stride);
  QVERIFY(read);
  QCOMPARE(stride, 12u);
  QCOMPARE(QByteArray(reinterpret_cast<char *>(read), 24), QByteArray(reinterpret_cast<const char *>(pixels), 24));
  free(read);
  destroyFrameBuffer(framebuffer);
}

void TestGLResources::framebufferResize()
{
  AVFrameBuffer *plain = createFrameBuffer(32, 16, true);
  AVFrameBuffer *multi = createMultisampleFrameBuffer(32, 16, false);
  QVERIFY(plain && multi);
  QCOMPARE(avGL()->glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
  resizeFrameBuffer(plain, 64, 48);
  QCOMPARE(frameBufferWidth(plain), 64);
  QCOMPARE(frameBufferHeight(plain), 48);
  resizeMultisampleFrameBuffer(multi, 64, 48);
  QCOMPARE(frameBufferWidth(multi), 64);
  QCOMPARE(avGL()->glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
  destroyFrameBuffer(plain);
  destroyMultisampleFrameBuffer(multi);
  avGL()->glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void TestGLResources::shaderSourceReader()
{
  std::vector<char> buffer(8192);
  const int length = readShaderSource("vertex.glsl", buffer.data(), int(buffer.size()));
  QVERIFY(length > 0);
  QCOMPARE(int(strlen(buffer.data())), length);
  QVERIFY(QByteArray(buffer.data()).startsWith("#version 150 core"));

  QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Cannot open shader.*no_such.glsl"));
  QCOMPARE(readShaderSource("no_such.glsl", buffer.data(), int(buffer.size())), 0);

  // The stored text measures the capacity: exactly as long is refused.
  QFile stored(":/shaders/shaders/vertex.glsl");
  QVERIFY(stored.open(QIODevice::ReadOnly));
  const int storedLength = int(stored.readAll().size());
  QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Shader is too long.*vertex.glsl"));
  QCOMPARE(readShaderSource("vertex.glsl", buffer.data(), storedLength), 0);
  QVERIFY(readShaderSource("vertex.glsl", buffer.data(), storedLength + 1) > 0);
}

void TestGLResources::rendererBuildsEveryFixedProgram()
{
  AVGLRenderer *renderer = createRenderer(_host.get());
  QVERIFY(renderer);
  for (int i = 0; i < kFixedProgramCount; ++i)
    QVERIFY2(renderer->fixed[i].program, qPrintable(QString("fixed program %1 missing").arg(i + 1)));
  // Uniforms every vertex shader has.
  QVERIFY(renderer->fixed[kProgramMain].slotTable[kSlotRenderTransform] >= 0);
  QVERIFY(renderer->fixed[kProgramMain].slotTable[kSlotOpacity] >= 0);
  QVERIFY(renderer->fixed[kProgramMainUYVY422].slotTable[kSlotPictureWidth] >= 0);
  QVERIFY(renderer->fixed[kProgramMainStroke].slotTable[kSlotTexelWidth] >= 0);
  QCOMPARE(renderer->effectRGB.capacity, 8);
  QVERIFY(renderer->maxTextureSize > 0);
  destroyRenderer(renderer);
}

void TestGLResources::compileRetriesWithMediump()
{
  // Only the text with every "highp" replaced compiles: the retry must replace them all.
  const char *text = "#version 150 core\n"
                     "out vec4 fragColor;\n"
                     "void main() { float highpA = 0.25; float highpB = 0.5; fragColor = vec4(mediumpA, mediumpB, 0.0, 1.0); }\n";
  uint32_t shader = 0;
  QVERIFY(compileShader(&shader, GL_FRAGMENT_SHADER, text));
  QVERIFY(shader);
  avGL()->glDeleteShader(shader);
  QVERIFY(!compileShader(&shader, GL_FRAGMENT_SHADER, "#version 150 core\nvoid main() { nonsense; }\n"));
  QCOMPARE(shader, 0u);
  QVERIFY(!compileShader(&shader, GL_FRAGMENT_SHADER, nullptr));
}

void TestGLResources::rendererContextFollowsOwners()
{
  // The playback controller's context while it has a renderer, else the exporter's.
  clearGLFunctions();
  _host->doneRootCurrent();
  AVGLContextOwner playback, exporter;
  _host->setPlaybackOwner(&playback);
  _host->setExportOwner(&exporter);
  QVERIFY(createSharedOffscreenContext(&playback, _host.get(), QThread::currentThread()));
  QVERIFY(createSharedOffscreenContext(&exporter, _host.get(), QThread::currentThread()));
  QVERIFY(setUpRendererOnThread(&exporter));
  makeRendererCurrent(exporter.renderer);
  QCOMPARE(QOpenGLContext::currentContext(), exporter.context);
  QVERIFY(avGL());
  doneRendererCurrent(exporter.renderer);
  QVERIFY(!QOpenGLContext::currentContext());
  QVERIFY(!avGL());

  QVERIFY(setUpRendererOnThread(&playback));
  makeRendererCurrent(exporter.renderer);
  QCOMPARE(QOpenGLContext::currentContext(), playback.context);
  doneRendererCurrent(exporter.renderer);

  tearDownRendererOnThread(&playback);
  tearDownRendererOnThread(&exporter);
  QVERIFY(!playback.renderer && !exporter.renderer);
  destroySharedOffscreenContext(&playback);
  destroySharedOffscreenContext(&exporter);
  _host->setPlaybackOwner(nullptr);
  _host->setExportOwner(nullptr);
  QVERIFY(_host->makeRootCurrent());
  setGLFunctionsFromCurrent();
}

TAVO_TEST_GUI_MAIN(TestGLResources)
#include "tst_glresources.moc"
