// The circuit's numbers, each written once: the matrices of the preamp and power blocks'
// explicit state-space steps, the voltage range each valve element's tables span, the companion
// gains and the constant inputs. The one-channel form of each block (PreampBlock.cpp,
// PowerBlock.cpp) and the two-channel form (PreampBlockLanes.h, PowerBlockLanes.h) evaluate these
// same rows, each accumulated over its columns in order with its zero entries left out, so both
// round alike. Everything is constexpr, so the compiled rows keep their coefficients as immediate
// operands and drop the zero terms.
#pragma once

// The table range of one predicted element voltage (volts): the power block clamps its
// predictions to it, and the element's table axis spans it.
struct VoltageRange {
  float low;
  float high;
};

// clang-format off

namespace preamp_circuit {

// The columns of every preamp matrix: the state x0..x7 (x6 holds the power block's feedback z of
// the previous step), the driven input vin, the supply vs and the element currents (element 1:
// i1a, i1b; element 2: i2a, i2b).
enum Column { kX0, kX1, kX2, kX3, kX4, kX5, kZ, kX7, kVin, kVs, kI1a, kI1b, kI2a, kI2b, kColumns };

// From the columns before the step (state, this step's inputs, the previous step's currents) to
// the voltages at which each element reads its tables. Each element sees only the other's
// currents.
enum Prediction { kP1x, kP1c, kP2x, kP2c, kPredictions };
inline constexpr float kPredict[kPredictions][kColumns] = {
    //                  x0            x1           x2           x3           x4            x5            z            x7           vin            vs  i1a          i1b          i2a          i2b
    /* p1x */ {-62530.023f, -0.10415943f,  93.032829f, 0.47107843f, 0.53829432f, 0.031526104f, -1458.2642f,            0,  0.94237232f, 0.054009784f,  0,           0,           0,           0},
    /* p1c */ { 24753.896f, -0.10415943f,  1577.5487f,  7.9880314f,  9.1278048f,  0.53458506f, -24727.646f,            0, 0.022813192f,  0.91583872f,  0,           0, -26271.012f, -24727.646f},
    /* p2x */ {  24721.73f,            0,  1575.4988f, -122.06148f,  9.1610804f,  -19.771725f, -24695.514f, -0.10415943f, 0.022783548f,  0.91464865f,  0, -26271.012f,           0,           0},
    /* p2c */ { 23269.381f,            0, -136.27536f,  7.5089812f,  8.5804014f,  0.50252545f, -39863.922f, -0.10415943f, 0.021445062f,  0.92088598f,  0, -24727.646f,           0,           0},
};

// From the old state, the inputs and the new currents to the new state (x6 is z, not a state of
// this block, and has no row).
enum Update { kNewX0, kNewX1, kNewX2, kNewX3, kNewX4, kNewX5, kNewX7, kUpdates };
inline constexpr float kUpdate[kUpdates][kColumns] = {
    //                    x0           x1              x2               x3               x4               x5                z           x7              vin               vs              i1a              i1b            i2a              i2b
    /* x0 */ {   -0.8391183f,           0,  0.0027362597f,  1.3855248e-05f,  1.5832185e-05f,  9.2723832e-07f,   -0.042890124f,           0, -1.6949314e-06f,  1.5885231e-06f,     0.11525533f,   -0.045626383f, -0.045567095f,   -0.042890124f},
    /* x1 */ {             0, 0.99986112f,              0,               0,               0,               0,               0,           0,               0,               0,      1.9998611f,      1.9998611f,             0,               0},
    /* x2 */ {    1.7101623f,           0,     0.9743253f,  0.00055186584f,  0.00063060888f,  3.6932659e-05f,      0.1569892f,           0,  1.5760855e-06f, -5.8144151e-06f,    -0.10717382f,     -1.8173361f,   -1.8149745f,      0.1569892f},
    /* x3 */ {    0.1154604f,           0,  0.0073582111f,     0.99942994f, -0.00065141747f, -3.8151349e-05f,    -0.11533795f,           0,   1.064083e-07f,  4.2717761e-06f,  -0.0072357645f,    -0.12269616f,    1.8748643f,    -0.11533795f},
    /* x4 */ {  0.065967441f,           0,  0.0042040595f, -0.00032570874f,     0.99933022f,  1.4316865e-06f,   -0.065897487f,           0,  6.0795593e-08f,  2.4406474e-06f,  -0.0041341004f,   -0.070101544f, -0.070357099f,   -0.065897487f},
    /* x5 */ {0.00019317465f,           0, 1.2310886e-05f, -9.5378368e-07f,  7.1584331e-08f,     0.95934284f, -0.00019296978f,           0,  1.7802976e-10f,  7.1470292e-09f, -1.2106023e-05f, -0.00020528067f, 0.0075923428f, -0.00019296978f},
    /* x7 */ {             0,           0,              0,               0,               0,               0,               0, 0.99986112f,               0,               0,               0,               0,    1.9998611f,      1.9998611f},
};

// From the new state, the inputs and the new currents to the outputs: yo, before the DC blocker,
// and yb, the coupling value the power block takes as its s10. yo's z entry is -40863.922 against
// -39863.922 in p2c's z column and yo's i2b column: the circuit's values as they are.
enum Output { kYo, kYb, kOutputs };
inline constexpr float kOutput[kOutputs][kColumns] = {
    //                 x0  x1              x2              x3              x4              x5             z  x7             vin               vs            i1a           i1b           i2a           i2b
    /* yo */ { 23269.381f, 0,    -136.27536f,     7.5089812f,     8.5804014f,    0.50252545f,  -40863.922f, 0,   0.021445062f,     0.92088598f,   -1458.2642f,  -24727.646f,  -24695.514f,  -39863.922f},
    /* yb */ {0.86182892f, 0, -0.0050472352f, 0.00027811041f, 0.00031779264f, 1.8612054e-05f, -0.92088598f, 0, 7.9426155e-07f, -2.9301495e-06f, -0.054009784f, -0.91583872f, -0.91464865f, -0.92088598f},
};

// The sample-axis (x) and curve-axis (c) ranges of both elements' tables. Above the top of its
// sample axis element 1's grid conducts (its currents continue linearly).
inline constexpr VoltageRange kRange[kPredictions] = {
    /* p1x */ {-4.0f, 20.0f},
    /* p1c */ {50.0f, 200.0f},
    /* p2x */ {5.0f, 45.0f},
    /* p2c */ {100.0f, 300.0f},
};

// The supply vs follows the power block's supply node S as kSupplyScale S + kSupplyOffset, or
// holds kNominalSupply when that coupling is off; S starts there too.
inline constexpr float kSupplyScale = 0.3f;
inline constexpr float kSupplyOffset = 189.0f;
inline constexpr float kNominalSupply = 270.0f;

}  // namespace preamp_circuit

namespace power_circuit {

// The columns of every power matrix: the state s0..s10 (s7..s9 the trapezoidal companions, s10
// the preamp's coupling value yb), the input vp, the two constant inputs of the network and the
// element currents (drivers: i3a, i3b, i4a, i4b; output valves: i5, i6). The output valves'
// second current slots are 0 every step and have no column.
enum Column {
  kS0, kS1, kS2, kS3, kS4, kS5, kS6, kS7, kS8, kS9, kS10, kVp, kHigh, kLow,
  kI3a, kI3b, kI4a, kI4b, kI5, kI6, kColumns
};

// The two constant inputs (volts), the values of the columns kHigh and kLow.
inline constexpr float kHighVoltage = 375.0f;
inline constexpr float kLowVoltage = -62.5f;

// From the columns before the step (state with this step's s10, the input, the previous step's
// currents of the other elements only) to the voltages at which each element reads its tables.
// The four entries of magnitude 0.21119808 in the circuit's current columns (p4x by i5 and i6,
// p5c and p6c by i4a) are not part of the prediction.
enum Prediction { kP3x, kP3c, kP4x, kP4c, kP5x, kP5c, kP6x, kP6c, kPredictions };
inline constexpr float kPredict[kPredictions][kColumns] = {
    //                     s0               s1           s2           s3              s4               s5               s6  s7  s8               s9          s10               vp         high          low          i3a          i3b          i4a          i4b          i5           i6
    /* p3x */ {   -234.86113f,     -0.1586228f,           0,           0,    0.37275457f, -2.1823364e-05f,  2.1823364e-05f, 0,  0,  -5.872617e-07f,           0,     0.90186673f,           0,           0,           0,           0, -6921.1157f, -8541.7207f,  31.27051f,  -31.27051f},
    /* p3c */ {    2.0082607f,    -0.17452639f,  7.7155762f, 0.60897624f,     0.4101271f, -2.4011382e-05f,  2.4011382e-05f, 0,  0, -6.4614079e-07f,  -7483.709f,  -0.0077117211f, 0.68033719f, 0.31966281f,           0,           0, -7531.8135f, -14460.142f, 34.405704f, -34.405704f},
    /* p4x */ {     1.586228f,      25.866182f,           0,           0, -0.0025175493f,  1.4739294e-07f, -1.4739294e-07f, 0,  0,  3.9663099e-09f,           0,  -0.0060911155f,           0,           0, -6921.1157f, -7531.8135f,           0,           0,          0,           0},
    /* p4c */ {    2.0082607f,    -0.17452639f, 0.60897624f,  8.7120829f,     0.4101271f, -2.4011382e-05f,  2.4011382e-05f, 0,  0, -6.4614079e-07f, -7062.7847f,  -0.0077117211f, 0.64207131f, 0.35792866f, -8541.7207f, -14460.142f,           0,           0, 34.405704f, -34.405704f},
    /* p5x */ {             0,               0, -18.323921f, 0.60890418f,              0,               0,               0, 0,  0,               0, -7482.8232f,               0, 0.68025666f, 0.31974334f,           0, -65181.188f,           0, -5144.6313f,          0,           0},
    /* p5c */ {-0.0081433617f, -5.4999491e-06f,           0,           0,    -3594.2571f,      0.2104301f,     -0.2104301f, 1,  0,     -15.619337f,           0,  3.1270509e-05f,           1,           0,   31.27051f,  34.405704f,           0,  34.405704f,          0,  301523.47f},
    /* p6x */ {             0,               0, 0.60890418f, -17.327534f,              0,               0,               0, 0,  0,               0, -7061.9487f,               0, 0.64199537f, 0.35800466f,           0, -5144.6313f,           0, -73599.672f,          0,           0},
    /* p6c */ { 0.0081433617f,  5.4999491e-06f,           0,           0,     3594.2571f,     -0.2104301f,      0.2104301f, 0, -1,      15.619337f,           0, -3.1270509e-05f,           1,           0,  -31.27051f, -34.405704f,           0, -34.405704f, 301523.47f,           0},
};

// From the old state, the input and the new currents to the new s0..s6 (s7..s9 follow from
// kCompanionGain, s10 is an input).
enum Update { kNewS0, kNewS1, kNewS2, kNewS3, kNewS4, kNewS5, kNewS6, kUpdates };
inline constexpr float kUpdate[kUpdates][kColumns] = {
    //                     s0               s1              s2              s3              s4               s5              s6  s7  s8               s9            s10              vp            high              low             i3a             i3b              i4a             i4b               i5               i6
    /* s0 */ {    0.99953026f, -3.1724559e-07f,              0,              0, 7.4550911e-07f, -4.3646725e-11f, 4.3646725e-11f, 0, 0, -1.1745234e-12f,             0, 1.8037335e-06f,              0,               0,     1.8037335f,  -0.015423442f,   -0.012182231f,  -0.015423442f,  6.2541018e-05f, -6.2541018e-05f},
    /* s1 */ { -3.172456e-06f,     0.99994826f,              0,              0, 5.0350977e-09f, -2.9478584e-13f, 2.9478584e-13f, 0, 0, -7.9325881e-15f,             0, 1.2182231e-08f,              0,               0,   0.012182231f,   0.013403627f,     -1.9865228f,   0.013403627f,  4.2239611e-07f, -4.2239611e-07f},
    /* s2 */ {              0,               0,    0.99983341f, 5.5354926e-06f,              0,               0,              0, 0, 0,               0, -0.068025663f,              0, 6.1841515e-06f, -6.1841515e-06f,              0,   -0.59255624f,               0,  -0.046769377f,               0,               0},
    /* s3 */ {              0,               0, 5.5354926e-06f,    0.99984246f,              0,               0,              0, 0, 0,               0, -0.064199537f,              0, 5.8363212e-06f, -5.8363212e-06f,              0,  -0.046769377f,               0,   -0.66908795f,               0,               0},
    /* s4 */ {-8.4263456e-07f, -5.6910737e-10f,              0,              0,   -0.99940574f,  -3.479051e-08f,  3.479051e-08f, 0, 0,  5.8594031e-07f,             0, 3.2357168e-09f,              0,               0,  0.0032357166f,   0.003560131f, -2.1853726e-05f,   0.003560131f,      -31.20015f,       31.20015f},
    /* s5 */ {-8.4238178e-07f, -5.6893668e-10f,              0,              0, 0.00059406203f,     0.99940008f,       -1.9994f, 0, 0,  5.8576455e-07f,             0,  3.234746e-09f,              0,               0,  0.0032347462f,  0.0035590632f, -2.1847171e-05f,  0.0035590632f,      -31.19079f,       31.19079f},
    /* s6 */ {-1.2869492e-12f, -8.6919323e-16f,              0,              0, 9.0757851e-10f,  3.0545843e-06f,    0.99999696f, 0, 0,  8.9490199e-13f,             0, 4.9418846e-15f,              0,               0, 4.9418847e-09f, 5.4373599e-09f, -3.3377023e-11f, 5.4373599e-09f, -4.7651742e-05f,  4.7651742e-05f},
};

// From the new state, the input and the new currents to the outputs: vk, which drives the
// companions in the next step; the supply node S and the feedback z, which the preamp reads in
// the next step; and yp, the power stage's output.
enum Output { kVk, kSupply, kFeedback, kYp, kOutputs };
inline constexpr float kOutput[kOutputs][kColumns] = {
    //                     s0               s1           s2           s3               s4               s5               s6  s7  s8              s9          s10               vp         high         low              i3a              i3b             i4a              i4b               i5               i6
    /* vk */ { 2.1206672e-11f,  1.4322785e-14f,           0,           0,  9.3600447e-06f, -5.4799504e-10f,  5.4799504e-10f, 0, 0, 4.0675356e-08f,           0, -8.1433619e-14f,           0,          0, -8.1433619e-08f, -8.9598188e-08f, 5.4999499e-10f, -8.9598188e-08f,  0.00078521739f, -0.00078521739f},
    /* S  */ {              0,               0, 0.88575089f, 0.83593142f,               0,               0,               0, 0, 0,              0, -10272.762f,               0, 0.93388742f, 0.0661126f,               0,      -7483.709f,              0,     -7062.7847f,               0,               0},
    /* z  */ { 0.00023486113f,   1.586228e-07f,           0,           0, -3.7275456e-07f,  2.1823363e-11f, -2.1823363e-11f, 0, 0, 5.8726168e-13f,           0, -9.0186677e-07f,           0,          0,    -0.90186673f,   0.0077117211f,  0.0060911155f,   0.0077117211f, -3.1270509e-05f,  3.1270509e-05f},
    /* yp */ {-0.00052117516f, -3.5199676e-07f,           0,           0,     -230.03246f,    0.013467526f,   -0.013467526f, 0, 0, 0.00036240803f,           0,  2.0013126e-06f,           0,          0,      2.0013125f,      2.2019651f,  -0.013516677f,      2.2019651f,     -19297.502f,      19297.502f},
};

// The trapezoidal companions s7, s8, s9: each new value is its gain times the previous step's vk
// minus its own previous value.
inline constexpr float kCompanionGain[3] = {768000000.0f, 768000000.0f, 49152000.0f};

// The sample-axis (x) and curve-axis (c) ranges of the drivers' and the output valves' tables;
// the predictions are clamped to them before the read.
inline constexpr VoltageRange kRange[kPredictions] = {
    /* p3x */ {-30.0f, 50.0f},
    /* p3c */ {200.0f, 400.0f},
    /* p4x */ {-15.0f, 40.0f},
    /* p4c */ {200.0f, 400.0f},
    /* p5x */ {-70.0f, -45.0f},
    /* p5c */ {100.0f, 400.0f},
    /* p6x */ {-70.0f, -45.0f},
    /* p6c */ {100.0f, 400.0f},
};

// The weight of the output taps: yp from the power stage, or the preamp tap.
inline constexpr float kPowerTapGain = 0.02f;
inline constexpr float kPreampTapGain = 0.05f;

}  // namespace power_circuit

// clang-format on
