// Points and rectangles in view coordinates (pixels, y grows downwards).
#pragma once

#include <algorithm>

namespace VSTGUI {

using CCoord = double;

struct CPoint
{
	CCoord x {0};
	CCoord y {0};

	CPoint () = default;
	CPoint (CCoord x, CCoord y) : x (x), y (y) {}

	CPoint operator+ (const CPoint& p) const { return {x + p.x, y + p.y}; }
	CPoint operator- (const CPoint& p) const { return {x - p.x, y - p.y}; }
	bool operator== (const CPoint& p) const { return x == p.x && y == p.y; }
	bool operator!= (const CPoint& p) const { return !(*this == p); }
};

struct CRect
{
	CCoord left {0};
	CCoord top {0};
	CCoord right {0};
	CCoord bottom {0};

	CRect () = default;
	CRect (CCoord l, CCoord t, CCoord r, CCoord b) : left (l), top (t), right (r), bottom (b) {}
	CRect (const CPoint& origin, const CPoint& size)
	: left (origin.x), top (origin.y), right (origin.x + size.x), bottom (origin.y + size.y)
	{
	}

	CCoord getWidth () const { return right - left; }
	CCoord getHeight () const { return bottom - top; }
	CPoint getTopLeft () const { return {left, top}; }
	CPoint getSize () const { return {getWidth (), getHeight ()}; }
	bool isEmpty () const { return right <= left || bottom <= top; }

	CRect& setTopLeft (const CPoint& p)
	{
		const CPoint size = getSize ();
		left = p.x;
		top = p.y;
		return setSize (size);
	}
	CRect& setSize (const CPoint& size)
	{
		right = left + size.x;
		bottom = top + size.y;
		return *this;
	}
	CRect& offset (const CPoint& p)
	{
		left += p.x;
		right += p.x;
		top += p.y;
		bottom += p.y;
		return *this;
	}
	CRect& extend (CCoord d)
	{
		left -= d;
		top -= d;
		right += d;
		bottom += d;
		return *this;
	}
	CRect& bound (const CRect& r)
	{
		left = std::max (left, r.left);
		top = std::max (top, r.top);
		right = std::max (left, std::min (right, r.right));
		bottom = std::max (top, std::min (bottom, r.bottom));
		return *this;
	}
	CRect& unite (const CRect& r)
	{
		if (isEmpty ())
			return *this = r;
		if (!r.isEmpty ())
		{
			left = std::min (left, r.left);
			top = std::min (top, r.top);
			right = std::max (right, r.right);
			bottom = std::max (bottom, r.bottom);
		}
		return *this;
	}
	bool pointInside (const CPoint& p) const
	{
		return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
	}
	bool rectOverlap (const CRect& r) const
	{
		return r.left < right && r.right > left && r.top < bottom && r.bottom > top;
	}
	bool contains (const CRect& r) const
	{
		return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
	}
	bool operator== (const CRect& r) const
	{
		return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
	}
	bool operator!= (const CRect& r) const { return !(*this == r); }
};

} // namespace VSTGUI
