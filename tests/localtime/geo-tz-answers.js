// geo-tz's zones for points read from stdin ("latitude longitude" lines),
// written one line each, several zones of a point separated by spaces; the
// time taken for the lookups alone goes to stderr. The zones are those of
// geo-tz's full data ("geo-tz/all", every zone its own polygons), which the
// bundled map is made from.
//   node geo-tz-answers.js <dir with node_modules/geo-tz> < points
const { createRequire } = require('node:module');
const { join, resolve } = require('node:path');
const geoTz = createRequire(join(resolve(process.argv[2]), 'node_modules', 'x.js'))('geo-tz/all');
const points = require('node:fs').readFileSync(0, 'utf8').trim().split('\n').map((line) => line.split(' ').map(Number));
geoTz.preCache();
const started = process.hrtime.bigint();
const answers = points.map(([lat, lon]) => geoTz.find(lat, lon).join(' '));
const seconds = Number(process.hrtime.bigint() - started) / 1e9;
process.stdout.write(answers.join('\n') + '\n');
process.stderr.write(`geo-tz: ${points.length} lookups in ${(seconds * 1e3).toFixed(1)} ms\n`);
