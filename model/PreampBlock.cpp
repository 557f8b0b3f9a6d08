#include "model/PreampBlock.h"

#include "model/ValveTables.h"

namespace {
constexpr TableAxis kElement1Sample{-4.0f, 1.0f / 24.0f};
constexpr TableAxis kElement1Curve{50.0f, 1.0f / 150.0f};
constexpr TableAxis kElement2Sample{5.0f, 1.0f / 40.0f};
constexpr TableAxis kElement2Curve{100.0f, 1.0f / 200.0f};

// Above the table (20 V) the grid conducts: both element-1 currents keep the slope of the
// table's top. The sums are made in double precision.
inline void extendElement1(float p1x, float& i1a, float& i1b) {
  if (p1x > 20.0f) {
    const float e = p1x - 20.0f;
    i1a = static_cast<float>(static_cast<double>(i1a) + static_cast<double>(e) * PreampBlock::kSlope1a);
    i1b = static_cast<float>(static_cast<double>(i1b) + static_cast<double>(e) * PreampBlock::kSlope1b);
  }
}

}  // namespace

// Every row is accumulated left to right in the order state, inputs, currents; zero entries
// are left out (adding 0 * x changes nothing for finite x).
template <typename F>
PreampResultT<F> PreampBlock::process(PreampStateT<F>& s, const ValveTables& tables, F toneOut, float drive,
                                      float invDrive, bool supplyOn, F supplyNode, F feedback, float dcPole) {
  const F vin = toneOut * drive;
  const F vs = choose(supplyOn, 0.3f * supplyNode + 189.0f, F{} + 270.0f);
  F* x = s.x;
  x[6] = feedback;

  // Predictions with the previous step's currents; each element sees only the other's.
  const F p1x = -62530.023f * x[0] + -0.10415943f * x[1] + 93.032829f * x[2] + 0.47107843f * x[3] +
                0.53829432f * x[4] + 0.031526104f * x[5] + -1458.2642f * x[6] + 0.94237232f * vin +
                0.054009784f * vs;
  const F p1c = 24753.896f * x[0] + -0.10415943f * x[1] + 1577.5487f * x[2] + 7.9880314f * x[3] +
                9.1278048f * x[4] + 0.53458506f * x[5] + -24727.646f * x[6] + 0.022813192f * vin +
                0.91583872f * vs + -26271.012f * s.i2a + -24727.646f * s.i2b;
  const F p2x = 24721.73f * x[0] + 1575.4988f * x[2] + -122.06148f * x[3] + 9.1610804f * x[4] +
                -19.771725f * x[5] + -24695.514f * x[6] + -0.10415943f * x[7] + 0.022783548f * vin +
                0.91464865f * vs + -26271.012f * s.i1b;
  const F p2c = 23269.381f * x[0] + -136.27536f * x[2] + 7.5089812f * x[3] + 8.5804014f * x[4] +
                0.50252545f * x[5] + -39863.922f * x[6] + -0.10415943f * x[7] + 0.021445062f * vin +
                0.92088598f * vs + -24727.646f * s.i1b;

  s.prediction[0] = p1x;
  s.prediction[1] = p1c;
  s.prediction[2] = p2x;
  s.prediction[3] = p2c;

  const auto e1 = ValveTables::locate(p1x, kElement1Sample, p1c, kElement1Curve);
  F i1a = tables.read(0, e1);
  F i1b = tables.read(1, e1);
  extendElement1(p1x, i1a, i1b);
  const auto e2 = ValveTables::locate(p2x, kElement2Sample, p2c, kElement2Curve);
  const F i2a = tables.read(2, e2);
  const F i2b = tables.read(3, e2);

  // State update from the old state (x6 keeps z).
  F n[8];
  n[0] = -0.8391183f * x[0] + 0.0027362597f * x[2] + 1.3855248e-05f * x[3] + 1.5832185e-05f * x[4] +
         9.2723832e-07f * x[5] + -0.042890124f * x[6] + -1.6949314e-06f * vin + 1.5885231e-06f * vs +
         0.11525533f * i1a + -0.045626383f * i1b + -0.045567095f * i2a + -0.042890124f * i2b;
  n[1] = 0.99986112f * x[1] + 1.9998611f * i1a + 1.9998611f * i1b;
  n[2] = 1.7101623f * x[0] + 0.9743253f * x[2] + 0.00055186584f * x[3] + 0.00063060888f * x[4] +
         3.6932659e-05f * x[5] + 0.1569892f * x[6] + 1.5760855e-06f * vin + -5.8144151e-06f * vs +
         -0.10717382f * i1a + -1.8173361f * i1b + -1.8149745f * i2a + 0.1569892f * i2b;
  n[3] = 0.1154604f * x[0] + 0.0073582111f * x[2] + 0.99942994f * x[3] + -0.00065141747f * x[4] +
         -3.8151349e-05f * x[5] + -0.11533795f * x[6] + 1.064083e-07f * vin + 4.2717761e-06f * vs +
         -0.0072357645f * i1a + -0.12269616f * i1b + 1.8748643f * i2a + -0.11533795f * i2b;
  n[4] = 0.065967441f * x[0] + 0.0042040595f * x[2] + -0.00032570874f * x[3] + 0.99933022f * x[4] +
         1.4316865e-06f * x[5] + -0.065897487f * x[6] + 6.0795593e-08f * vin + 2.4406474e-06f * vs +
         -0.0041341004f * i1a + -0.070101544f * i1b + -0.070357099f * i2a + -0.065897487f * i2b;
  n[5] = 0.00019317465f * x[0] + 1.2310886e-05f * x[2] + -9.5378368e-07f * x[3] + 7.1584331e-08f * x[4] +
         0.95934284f * x[5] + -0.00019296978f * x[6] + 1.7802976e-10f * vin + 7.1470292e-09f * vs +
         -1.2106023e-05f * i1a + -0.00020528067f * i1b + 0.0075923428f * i2a + -0.00019296978f * i2b;
  n[7] = 0.99986112f * x[7] + 1.9998611f * i2a + 1.9998611f * i2b;
  x[0] = n[0];
  x[1] = n[1];
  x[2] = n[2];
  x[3] = n[3];
  x[4] = n[4];
  x[5] = n[5];
  x[7] = n[7];

  // Outputs from the new state. Note -40863.922 in yo's x6 column, against -39863.922 in p2c's
  // x6 column and yo's i2b column: the circuit's values as they are.
  const F yo = 23269.381f * x[0] + -136.27536f * x[2] + 7.5089812f * x[3] + 8.5804014f * x[4] +
               0.50252545f * x[5] + -40863.922f * x[6] + 0.021445062f * vin + 0.92088598f * vs +
               -1458.2642f * i1a + -24727.646f * i1b + -24695.514f * i2a + -39863.922f * i2b;
  const F yb = 0.86182892f * x[0] + -0.0050472352f * x[2] + 0.00027811041f * x[3] + 0.00031779264f * x[4] +
               1.8612054e-05f * x[5] + -0.92088598f * x[6] + 7.9426155e-07f * vin + -2.9301495e-06f * vs +
               -0.054009784f * i1a + -0.91583872f * i1b + -0.91464865f * i2a + -0.92088598f * i2b;
  s.i1a = i1a;
  s.i1b = i1b;
  s.i2a = i2a;
  s.i2b = i2b;

  PreampResultT<F> r;
  r.tap = s.dc.process(yo, dcPole);
  r.powerInput = r.tap * invDrive;
  r.coupling = yb;
  return r;
}

template PreampResultT<float> PreampBlock::process(PreampStateT<float>&, const ValveTables&, float, float,
                                                   float, bool, float, float, float);
