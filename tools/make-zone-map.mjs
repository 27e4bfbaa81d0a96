// Writes resources/zone-map.bin, the time-zone map that Mappa finds an
// office's zone in, from the timezone-boundary-builder polygons as the npm
// package geo-tz carries them (ODbL). It reads geo-tz's full data ("geo-tz/all"),
// where every zone has polygons of its own, not the default data, where zones
// that agree since 1970 are merged and Stockholm's offices would get
// Europe/Berlin.
//
//   make zone-map
// which installs geo-tz at the versions pinned in tools/zone-map into
// build/tzmap, then runs
//   node --max-old-space-size=8192 tools/make-zone-map.mjs build/tzmap resources/zone-map.bin
//
// The map is a quadtree over the equirectangular world: a cell at depth d is
// 360/2^d degrees wide and 180/2^d high, split into north-west, north-east,
// south-west and south-east quarters. A cell that no zone border crosses is one
// leaf (its zone is the one at its centre); a crossed one is split, down to
// the finest depth, where the centre decides. Below depth COARSE a cell whose
// samples show at most one zone (with or without open sea) is not split: the
// edge of the territorial sea needs no precision, since the sea takes the
// nearest zone anyway.
//
// Sea: geo-tz's polygons end with the territorial sea. Farther out, a point
// takes the zone of the nearest zone polygon within SEA_REACH_KM (measured on
// a raster of 1/8 degree), else the nautical zone of its longitude, which the
// program works out itself (value 0x7FFF).
//
// Layout (little-endian):
//   "MZM1", u16 zone count, per zone u8 name length + name bytes (ASCII)
//   u8 top depth T, u8 finest depth
//   2^T * 2^T u32 top cells, row by row from the north-west: bit 31 set: a
//     leaf, its zone in the low 15 bits; else the index of the cell's first
//     node in the node list
//   u32 node count, nodes of 4 u16 entries (NW, NE, SW, SE): bit 15 set: the
//     child node, its index (low 15 bits) counted from the top cell's first
//     node; else a leaf, its zone
import { createRequire } from 'node:module';
import { writeFileSync, mkdirSync, renameSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';

const [peerDir, output] = process.argv.slice(2);
if (!peerDir || !output) {
    console.error('usage: node make-zone-map.mjs <dir with node_modules/geo-tz> <output>');
    process.exit(2);
}
const require = createRequire(join(resolve(peerDir), 'node_modules', 'x.js'));
const geoTz = require('geo-tz/all');
const geobuf = require('geobuf');
const Pbf = require('pbf');
const { readFileSync, openSync, readSync } = require('node:fs');

const FINEST = 13;
// The principal location of every zone (zone1970.tab, and zone.tab's one for
// each country) lies in a cell of the zone that the polygons give there: the
// cells on the way to it are split further where needed, down to this depth,
// where the location itself decides.
const PINNED = 20;
const COARSE = 11;
const TOP = 7;
const SEA = -1;
const NAUTICAL = 0x7FFF;
const SEA_REACH_KM = 200;

const dataDir = join(dirname(require.resolve('geo-tz')), '..', 'data');
const index = JSON.parse(readFileSync(join(dataDir, 'timezones.geojson.index.json'), 'utf8'));
const datFile = openSync(join(dataDir, 'timezones.geojson.geo.dat'), 'r');

geoTz.preCache?.();

// Zone numbers in the order of first use; names sorted at the end.
const zoneNumbers = new Map();
function zoneOf(name) {
    if (name.startsWith('Etc/')) return SEA;
    let number = zoneNumbers.get(name);
    if (number === undefined) {
        number = zoneNumbers.size;
        zoneNumbers.set(name, number);
    }
    return number;
}
function valueAt(lat, lon) {
    return zoneOf(geoTz.find(lat, lon)[0]);
}

function edgesOf(node) {
    const buffer = Buffer.alloc(node.len);
    readSync(datFile, buffer, 0, node.len, node.pos);
    const collection = geobuf.decode(new Pbf(buffer));
    const edges = [];
    for (const feature of collection.features) {
        const polygons = feature.geometry.type === 'Polygon' ? [feature.geometry.coordinates] : feature.geometry.coordinates;
        for (const polygon of polygons) {
            for (const ring of polygon) {
                for (let i = 1; i < ring.length; ++i) edges.push([ring[i - 1][0], ring[i - 1][1], ring[i][0], ring[i][1]]);
            }
        }
    }
    return edges;
}

// Whether a segment has a point strictly inside the box (Liang-Barsky clip
// against the open box).
function crosses(edge, box) {
    const [x0, y0, x1, y1] = edge;
    let t0 = 0, t1 = 1;
    const dx = x1 - x0, dy = y1 - y0;
    const clip = (p, q) => {
        if (p === 0) return q > 0;
        const r = q / p;
        if (p < 0) { if (r > t1) return false; if (r > t0) t0 = r; }
        else { if (r < t0) return false; if (r < t1) t1 = r; }
        return true;
    };
    if (!clip(-dx, x0 - box.west) || !clip(dx, box.east - x0) || !clip(-dy, y0 - box.south) || !clip(dy, box.north - y0)) return false;
    if (t0 >= t1) return false;
    const mx = x0 + dx * (t0 + t1) / 2, my = y0 + dy * (t0 + t1) / 2;
    return mx > box.west && mx < box.east && my > box.south && my < box.north;
}

function quarters(box) {
    const midLon = (box.west + box.east) / 2, midLat = (box.south + box.north) / 2;
    return [
        { west: box.west, east: midLon, south: midLat, north: box.north },
        { west: midLon, east: box.east, south: midLat, north: box.north },
        { west: box.west, east: midLon, south: box.south, north: midLat },
        { west: midLon, east: box.east, south: box.south, north: midLat },
    ];
}
const centre = (box) => valueAt((box.south + box.north) / 2, (box.west + box.east) / 2);

function collapse(children) {
    const first = children[0];
    return typeof first === 'number' && children.every((child) => child === first) ? first : children;
}

function refine(edges, box, depth) {
    const inside = edges.filter((edge) => crosses(edge, box));
    if (inside.length === 0 || depth === FINEST) return centre(box);
    if (depth >= COARSE) {
        const zones = new Set();
        for (let i = 1; i <= 3; ++i) {
            for (let j = 1; j <= 3; ++j) {
                const value = valueAt(box.south + (box.north - box.south) * i / 4, box.west + (box.east - box.west) * j / 4);
                if (value !== SEA) zones.add(value);
            }
        }
        if (zones.size === 0) return SEA;
        if (zones.size === 1) return [...zones][0];
    }
    return collapse(quarters(box).map((quarter) => refine(inside, quarter, depth + 1)));
}

// geo-tz's index splits the same way; its quarters are named a (NE), b (NW), c (SW), d (SE).
function fromIndex(node, box, depth) {
    if (node === undefined) return SEA;
    if (Array.isArray(node)) return zoneOf(index.timezones[node[0]]);
    if (node.pos !== undefined) return refine(edgesOf(node), box, depth);
    const [nw, ne, sw, se] = quarters(box);
    return collapse([fromIndex(node.b, nw, depth + 1), fromIndex(node.a, ne, depth + 1),
                     fromIndex(node.c, sw, depth + 1), fromIndex(node.d, se, depth + 1)]);
}

function lookup(tree, lat, lon) {
    let box = { west: -180, east: 180, south: -90, north: 90 };
    while (typeof tree !== 'number') {
        const east = lon >= (box.west + box.east) / 2 ? 1 : 0, south = lat < (box.south + box.north) / 2 ? 1 : 0;
        const quarter = south * 2 + east;
        box = quarters(box)[quarter];
        tree = tree[quarter];
    }
    return tree;
}

const started = Date.now();
let tree = fromIndex(index.lookup, { west: -180, east: 180, south: -90, north: 90 }, 0);
// geo-tz's cache of decoded polygons is no longer needed (the pins below read single cells).
geoTz.setCache({ store: new Map() });
const countNodes = (node) => (typeof node === 'number' ? 0 : 1 + node.reduce((sum, child) => sum + countNodes(child), 0));
console.error(`polygons read in ${(Date.now() - started) / 1000} s: ${countNodes(tree)} nodes`);

function principalLocations() {
    const coordinate = (text, degreeDigits) => {
        const digits = text.slice(1);
        const value = Number(digits.slice(0, degreeDigits)) + Number(digits.slice(degreeDigits, degreeDigits + 2)) / 60 +
                      Number(digits.slice(degreeDigits + 2) || 0) / 3600;
        return text[0] === '-' ? -value : value;
    };
    const locations = [];
    for (const table of ['zone1970.tab', 'zone.tab']) {
        for (const line of readFileSync(join('/usr/share/zoneinfo', table), 'utf8').split('\n')) {
            if (line.startsWith('#') || !line.trim()) continue;
            const where = line.split('\t')[1];
            const split = Math.max(where.lastIndexOf('+'), where.lastIndexOf('-'));
            locations.push([coordinate(where.slice(0, split), 2), coordinate(where.slice(split), 3)]);
        }
    }
    return locations;
}
function pin(node, box, depth, lat, lon, wanted) {
    if (typeof node === 'number') {
        if (node === wanted) return node;
        if (depth === PINNED) return wanted;
        node = quarters(box).map(centre);
    }
    const east = lon >= (box.west + box.east) / 2 ? 1 : 0, south = lat < (box.south + box.north) / 2 ? 1 : 0;
    const quarter = south * 2 + east;
    const children = node.slice();
    children[quarter] = pin(children[quarter], quarters(box)[quarter], depth + 1, lat, lon, wanted);
    return collapse(children);
}
for (const [lat, lon] of principalLocations()) {
    tree = pin(tree, { west: -180, east: 180, south: -90, north: 90 }, 0, lat, lon, valueAt(lat, lon));
}

// The sea: nearest zone on a raster of 1/8 degree, grown outwards from the
// zones' cells, each sea cell taking the nearest of its neighbours' sources.
const RW = 2880, RH = 1440, STEP = 360 / RW;
const raster = new Int32Array(RW * RH);
const source = new Int32Array(RW * RH).fill(-1);
const queue = new Int32Array(RW * RH);
let head = 0, tail = 0;
const latOf = (row) => 90 - (row + 0.5) * STEP, lonOf = (col) => -180 + (col + 0.5) * STEP;
for (let row = 0; row < RH; ++row) {
    for (let col = 0; col < RW; ++col) {
        const cell = row * RW + col;
        raster[cell] = lookup(tree, latOf(row), lonOf(col));
        if (raster[cell] !== SEA) { source[cell] = cell; queue[tail++] = cell; }
    }
}
function distanceKm(a, b) {
    const rad = Math.PI / 180;
    const la1 = latOf(Math.floor(a / RW)) * rad, la2 = latOf(Math.floor(b / RW)) * rad;
    const dl = (lonOf(b % RW) - lonOf(a % RW)) * rad;
    const h = Math.sin((la2 - la1) / 2) ** 2 + Math.cos(la1) * Math.cos(la2) * Math.sin(dl / 2) ** 2;
    return 2 * 6371 * Math.asin(Math.min(1, Math.sqrt(h)));
}
while (head < tail) {
    const cell = queue[head++];
    const row = Math.floor(cell / RW), col = cell % RW;
    for (let dr = -1; dr <= 1; ++dr) {
        const r = row + dr;
        if (r < 0 || r >= RH) continue;
        for (let dc = -1; dc <= 1; ++dc) {
            const next = r * RW + (col + dc + RW) % RW;
            if (raster[next] !== SEA && source[next] === next) continue;
            const d = distanceKm(next, source[cell]);
            if (d > SEA_REACH_KM) continue;
            if (source[next] === -1) {
                source[next] = source[cell];
                queue[tail++] = next;
            } else if (d < distanceKm(next, source[next])) {
                source[next] = source[cell];
            }
        }
    }
}
const filled = (row, col) => {
    const cell = row * RW + col;
    return source[cell] === -1 ? NAUTICAL : raster[source[cell]];
};
function fillSea(node, box) {
    if (typeof node !== 'number') return collapse(quarters(box).map((quarter, i) => fillSea(node[i], quarter)));
    if (node !== SEA) return node;
    const c0 = Math.floor((box.west + 180) / STEP + 1e-9), c1 = Math.ceil((box.east + 180) / STEP - 1e-9);
    const r0 = Math.floor((90 - box.north) / STEP + 1e-9), r1 = Math.ceil((90 - box.south) / STEP - 1e-9);
    if (box.east - box.west <= STEP + 1e-9) {
        return filled(Math.min(RH - 1, Math.floor((90 - (box.south + box.north) / 2) / STEP)),
                      Math.min(RW - 1, Math.floor(((box.west + box.east) / 2 + 180) / STEP)));
    }
    const first = filled(r0, c0);
    let uniform = true;
    for (let r = r0; r < r1 && uniform; ++r) for (let c = c0; c < c1 && uniform; ++c) uniform = filled(r, c) === first;
    if (uniform) return first;
    return collapse(quarters(box).map((quarter) => fillSea(SEA, quarter)));
}
tree = fillSea(tree, { west: -180, east: 180, south: -90, north: 90 });

// Number the zones by name, then write.
const names = [...zoneNumbers.keys()].sort();
const renumber = new Map(names.map((name, i) => [zoneNumbers.get(name), i]));
const value = (leaf) => (leaf === NAUTICAL ? NAUTICAL : renumber.get(leaf));

const topCells = new Uint32Array(1 << (2 * TOP));
const nodes = [];
function subtreeAt(node, depth, x, y) {
    if (typeof node === 'number' || depth === TOP) return node;
    const shift = TOP - depth - 1;
    const quarter = ((y >> shift) & 1) * 2 + ((x >> shift) & 1);
    return subtreeAt(node[quarter], depth + 1, x, y);
}
for (let y = 0; y < 1 << TOP; ++y) {
    for (let x = 0; x < 1 << TOP; ++x) {
        const node = subtreeAt(tree, 0, x, y);
        if (typeof node === 'number') { topCells[y * (1 << TOP) + x] = 0x80000000 | value(node); continue; }
        const base = nodes.length;
        topCells[y * (1 << TOP) + x] = base;
        // Breadth first: a node's index is known before its children are written.
        const pending = [node];
        nodes.push(null);
        for (let i = 0; i < pending.length; ++i) {
            const entries = pending[i].map((child) => {
                if (typeof child === 'number') return value(child);
                pending.push(child);
                nodes.push(null);
                const local = pending.length - 1;
                if (local > 0x7FFF) throw new Error('too many nodes under one top cell');
                return 0x8000 | local;
            });
            nodes[base + i] = entries;
        }
    }
}

const parts = [Buffer.from('MZM1', 'ascii')];
const u8 = (v) => Buffer.from([v]);
const u16 = (v) => { const b = Buffer.alloc(2); b.writeUInt16LE(v); return b; };
const u32 = (v) => { const b = Buffer.alloc(4); b.writeUInt32LE(v); return b; };
parts.push(u16(names.length));
for (const name of names) parts.push(u8(name.length), Buffer.from(name, 'ascii'));
parts.push(u8(TOP), u8(PINNED), Buffer.from(topCells.buffer), u32(nodes.length));
const nodeBytes = Buffer.alloc(nodes.length * 8);
nodes.forEach((entries, i) => entries.forEach((entry, j) => nodeBytes.writeUInt16LE(entry, i * 8 + j * 2)));
parts.push(nodeBytes);
const out = Buffer.concat(parts);
mkdirSync(dirname(resolve(output)), { recursive: true });
writeFileSync(output + '.tmp', out);
renameSync(output + '.tmp', output);
console.error(`${output}: ${names.length} zones, ${nodes.length} nodes, ${out.length} bytes, ${(Date.now() - started) / 1000} s`);
