"""The grid geometry of the vector world map: points on the level's grid,
rings and lines clipped to an axis-parallel line, and the tiler that cuts
them into a level's tiles. Used by tools/make-world-vectors."""


# ---------------------------------------------------------------------------
# Geometry on the grid

def to_grid(pts, g):
    """Text (lon, lat) pairs to grid points, longitude made continuous
    across the date line."""
    full = 1 << g
    out = []
    prev_lon = None
    offset = 0.0
    for lon_t, lat_t in pts:
        lon = float(lon_t)
        if prev_lon is not None:
            if lon - prev_lon > 180:
                offset -= 360
            elif lon - prev_lon < -180:
                offset += 360
        prev_lon = lon
        x = int(round((lon + offset + 180.0) * full / 360.0))
        y = int(round((90.0 - float(lat_t)) * full / 360.0))
        if not out or out[-1] != (x, y):
            out.append((x, y))
    return out


def area2(ring):
    """Twice the signed area; positive is clockwise on the map (y down)."""
    s = 0
    n = len(ring)
    for i in range(n):
        x0, y0 = ring[i]
        x1, y1 = ring[(i + 1) % n]
        s += x0 * y1 - x1 * y0
    return s


def div_round(a, b):
    """a / b rounded to the nearest integer, halves away from zero."""
    if b < 0:
        a, b = -a, -b
    q, r = divmod(abs(a), b)
    if 2 * r >= b:
        q += 1
    return q if a >= 0 else -q


def cut_point(p, q, axis, c):
    """Where the edge p-q crosses the line coordinate[axis] == c, computed
    the same way whichever way round the edge runs."""
    if (p[axis], p[1 - axis]) > (q[axis], q[1 - axis]):
        p, q = q, p
    other = p[1 - axis] + div_round((c - p[axis]) * (q[1 - axis] - p[1 - axis]), q[axis] - p[axis])
    return (c, other) if axis == 0 else (other, c)


def clip_ring(ring, axis, c, keep_low):
    """Sutherland-Hodgman against one half-plane: coordinate <= c
    (keep_low) or >= c."""
    out = []
    n = len(ring)
    for i in range(n):
        p = ring[i]
        q = ring[(i + 1) % n]
        pv, qv = p[axis], q[axis]
        pin = pv <= c if keep_low else pv >= c
        if pin:
            out.append(p)
        if (pv < c < qv) or (qv < c < pv):
            out.append(cut_point(p, q, axis, c))
    return tidy_ring(out)


def clip_line(line, axis, c, keep_low):
    """The parts of an open line on one side of the line coordinate == c."""
    parts = []
    current = []
    for i, p in enumerate(line):
        if i > 0:
            q = line[i - 1]
            if (q[axis] < c < p[axis]) or (p[axis] < c < q[axis]):
                cp = cut_point(q, p, axis, c)
                if current:         # leaving the kept side
                    current.append(cp)
                    parts.append(current)
                    current = []
                else:               # entering it
                    current = [cp]
        if (p[axis] <= c) if keep_low else (p[axis] >= c):
            if not current or current[-1] != p:
                current.append(p)
        elif current:
            parts.append(current)
            current = []
    if current:
        parts.append(current)
    return [part for part in parts if len(part) >= 2]


def tidy_ring(ring):
    """Drops repeated points and points in the middle of a straight run
    along a grid line (which the clipping leaves along the cuts)."""
    changed = True
    while changed and len(ring) >= 3:
        changed = False
        out = []
        n = len(ring)
        for i in range(n):
            p = ring[i]
            prev = out[-1] if out else ring[i - 1]
            nxt = ring[(i + 1) % n]
            if p == prev:
                changed = True
                continue
            if (prev[0] == p[0] == nxt[0]) or (prev[1] == p[1] == nxt[1]):
                changed = True
                continue
            out.append(p)
        ring = out
    return ring if len(ring) >= 3 else []


def on_box(p, box):
    x0, y0, x1, y1 = box
    return p[0] in (x0, x1) or p[1] in (y0, y1)


class Tiler:
    """Cuts rings and lines into the tiles of a level by halving blocks of
    tiles until each block is one tile."""

    def __init__(self, level):
        self.g = level.grid_bits
        self.t = level.tile_bits
        self.size = 1 << (self.g - self.t)       # tile side in grid steps
        self.across = 1 << self.t
        self.down = 1 << (self.t - 1)
        self.fill = {}      # tile index -> fill count
        self.rings = {}     # tile index -> [ring]
        self.lines = {}     # tile index -> [line]

    def add_rings(self, rings):
        self._rings((0, 0, self.across, self.down), rings)

    def add_lines(self, lines):
        self._lines((0, 0, self.across, self.down), lines)

    def _box(self, block):
        tx0, ty0, tx1, ty1 = block
        s = self.size
        return (tx0 * s, ty0 * s, tx1 * s, ty1 * s)

    def _split(self, block):
        tx0, ty0, tx1, ty1 = block
        if tx1 - tx0 >= ty1 - ty0:
            m = (tx0 + tx1) // 2
            return 0, m * self.size, (tx0, ty0, m, ty1), (m, ty0, tx1, ty1)
        m = (ty0 + ty1) // 2
        return 1, m * self.size, (tx0, ty0, tx1, m), (tx0, m, tx1, ty1)

    def _rings(self, block, rings):
        box = self._box(block)
        kept = []
        block_area2 = 2 * (box[2] - box[0]) * (box[3] - box[1])
        for ring in rings:
            if all(on_box(p, box) for p in ring):
                a = area2(ring)
                if a == 0:
                    continue
                if abs(a) == block_area2:
                    self._fill_block(block, 1 if a > 0 else -1)
                    continue
            kept.append(ring)
        if not kept:
            return
        tx0, ty0, tx1, ty1 = block
        if tx1 - tx0 == 1 and ty1 - ty0 == 1:
            self.rings.setdefault(ty0 * self.across + tx0, []).extend(kept)
            return
        axis, c, low, high = self._split(block)
        lows, highs = [], []
        for ring in kept:
            lo = min(p[axis] for p in ring)
            hi = max(p[axis] for p in ring)
            if hi <= c:
                lows.append(ring)
            elif lo >= c:
                highs.append(ring)
            else:
                a = clip_ring(ring, axis, c, True)
                b = clip_ring(ring, axis, c, False)
                if a:
                    lows.append(a)
                if b:
                    highs.append(b)
        self._rings(low, lows)
        self._rings(high, highs)

    def _fill_block(self, block, sign):
        tx0, ty0, tx1, ty1 = block
        for ty in range(ty0, ty1):
            for tx in range(tx0, tx1):
                i = ty * self.across + tx
                self.fill[i] = self.fill.get(i, 0) + sign

    def _lines(self, block, lines):
        if not lines:
            return
        tx0, ty0, tx1, ty1 = block
        if tx1 - tx0 == 1 and ty1 - ty0 == 1:
            self.lines.setdefault(ty0 * self.across + tx0, []).extend(lines)
            return
        axis, c, low, high = self._split(block)
        lows, highs = [], []
        for line in lines:
            lo = min(p[axis] for p in line)
            hi = max(p[axis] for p in line)
            if hi <= c:
                lows.append(line)
            elif lo >= c:
                highs.append(line)
            else:
                lows.extend(clip_line(line, axis, c, True))
                highs.extend(clip_line(line, axis, c, False))
        self._lines(low, lows)
        self._lines(high, highs)



def world_copies(shape, width):
    """The shape shifted by whole worlds so that every part of it that lies
    beyond the date line is seen from the other side too."""
    lo = min(p[0] for p in shape)
    hi = max(p[0] for p in shape)
    out = []
    for k in (-1, 0, 1):
        if hi + k * width <= 0 or lo + k * width >= width:
            continue
        out.append([(x + k * width, y) for x, y in shape])
    return out
