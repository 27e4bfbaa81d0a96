// supercluster's load() timed on the points of the office grouping benchmark,
// as that benchmark times its own build: several runs after a few to warm up,
// each one's time printed, and their median.
//
//   node supercluster-bench.mjs <peer dir> <points file> <radius> <width> [warm-ups] [runs]
//
// <peer dir> holds node_modules/supercluster; the points file is x, y pairs of
// little-endian doubles on the scale-1 picture, <width> pixels wide and half
// as high, with the marker radius <radius> in pixels.
//
// The same grouping in supercluster's terms: supercluster projects longitude
// and latitude by Web Mercator onto a square world, the tile of zoom z being
// `extent` * 2^z pixels across, and groups within `radius` of those pixels.
// With extent = <width>, its zoom z is our level z (scale 2^z) and its radius
// our radius, across. Down, each point is given the latitude whose Mercator
// place is its equirectangular one (y / width + 1/4 of the square world), so
// that distances in the square are ours in both directions. minZoom 1 and
// maxZoom 8 make its levels ours, each grouped from the one above it, points
// in the order of the file. What differs is supercluster's own: its index
// rounds places (version 9 keeps them in 32-bit integers, 2^30 steps across
// the world), and its search takes a point at exactly the radius, which ours
// does not; neither shows in the markers per level, which the benchmark prints
// side by side.
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const [peerDir, pointsFile, radiusText, widthText, warmUpsText = '3', runsText = '11'] = process.argv.slice(2);
if (!peerDir || !pointsFile || !radiusText || !widthText) {
    console.error('usage: node supercluster-bench.mjs <peer dir> <points file> <radius> <width> [warm-ups] [runs]');
    process.exit(2);
}
const require = createRequire(join(peerDir, 'package.json'));
const modulePath = require.resolve('supercluster');
const { default: Supercluster } = await import(pathToFileURL(modulePath).href);
const version = JSON.parse(readFileSync(join(peerDir, 'node_modules', 'supercluster', 'package.json'))).version;

const radius = Number(radiusText);
const width = Number(widthText);
const bytes = readFileSync(pointsFile);
const coordinates = new Float64Array(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length));

// The latitude whose Web Mercator place is y, y from 0 (north) to 1 of the square world.
const latitudeAt = (y) => (360 / Math.PI) * Math.atan(Math.exp(Math.PI * (1 - 2 * y))) - 90;

const points = [];
for (let i = 0; i < coordinates.length; i += 2) {
    points.push({
        type: 'Feature',
        properties: { office: i / 2 },
        geometry: {
            type: 'Point',
            coordinates: [(coordinates[i] / width) * 360 - 180, latitudeAt(coordinates[i + 1] / width + 0.25)],
        },
    });
}
const options = { minZoom: 1, maxZoom: 8, radius, extent: width };

let index;
const times = [];
const cpuTimes = [];  // the whole process's, its collector's and compiler's threads too
const warmUps = Number(warmUpsText);
const runs = Number(runsText);
for (let run = 0; run < warmUps + runs; run++) {
    const start = process.hrtime.bigint();
    const cpuStart = process.cpuUsage();
    index = new Supercluster(options).load(points);
    const took = Number(process.hrtime.bigint() - start) / 1e6;
    const cpu = process.cpuUsage(cpuStart);
    if (run >= warmUps) {
        times.push(took);
        cpuTimes.push((cpu.user + cpu.system) / 1000);
    }
}
times.sort((a, b) => a - b);

console.log(`version ${version}`);
console.log(`node ${process.version}`);
console.log(`points ${points.length}`);
console.log(`load_ms ${times[times.length >> 1]}`);
console.log(`load_ms_runs ${times.length} ${times.join(' ')}`);
console.log(`load_cpu_ms_runs ${cpuTimes.length} ${cpuTimes.join(' ')}`);
for (let zoom = options.minZoom; zoom <= options.maxZoom; zoom++)
    console.log(`markers ${zoom} ${index.getClusters([-180, -90, 180, 90], zoom).length}`);
