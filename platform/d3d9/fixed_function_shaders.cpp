// Writing the shaders of a fixed-function key.
#include "platform/d3d9/fixed_function_shaders.h"

#include <cstdio>

namespace platform::d3d9 {
namespace {

std::string Number(unsigned value) { return std::to_string(value); }

// An argument as a vec4: the colour it selects, with its alpha copied to
// every channel (ALPHAREPLICATE) and then complemented (COMPLEMENT).
std::string Argument(uint8_t argument, unsigned stage) {
    std::string value;
    switch (argument & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE: value = "diffuse"; break;
        case D3DTA_CURRENT: value = "current"; break;
        case D3DTA_TEXTURE: value = "texel" + Number(stage); break;
        case D3DTA_TFACTOR: value = "uFactor"; break;
        case D3DTA_SPECULAR: value = "specular"; break;
        case D3DTA_TEMP: value = "temp"; break;
        default: value = "vec4(0.0)"; break;  // a constant per stage: none is ever set
    }
    if (argument & D3DTA_ALPHAREPLICATE) value = "vec4(" + value + ".a)";
    if (argument & D3DTA_COMPLEMENT) value = "(vec4(1.0) - " + value + ")";
    return value;
}

// One operation on arguments already narrowed to the channels at work
// (`.rgb` or `.a`); `alphaOf1` is argument 1's alpha, `stage` the stage.
std::string Operation(uint8_t op, const std::string& a1, const std::string& a2, const std::string& a0,
                      const std::string& alphaOf1, unsigned stage) {
    const std::string texel = "texel" + Number(stage);
    switch (op) {
        case D3DTOP_SELECTARG1: return a1;
        case D3DTOP_SELECTARG2: return a2;
        case D3DTOP_MODULATE: return a1 + " * " + a2;
        case D3DTOP_MODULATE2X: return a1 + " * " + a2 + " * 2.0";
        case D3DTOP_MODULATE4X: return a1 + " * " + a2 + " * 4.0";
        case D3DTOP_ADD: return a1 + " + " + a2;
        case D3DTOP_ADDSIGNED: return a1 + " + " + a2 + " - 0.5";
        case D3DTOP_ADDSIGNED2X: return "(" + a1 + " + " + a2 + " - 0.5) * 2.0";
        case D3DTOP_SUBTRACT: return a1 + " - " + a2;
        case D3DTOP_ADDSMOOTH: return a1 + " + " + a2 + " * (1.0 - " + a1 + ")";
        case D3DTOP_BLENDDIFFUSEALPHA: return "mix(" + a2 + ", " + a1 + ", diffuse.a)";
        case D3DTOP_BLENDTEXTUREALPHA: return "mix(" + a2 + ", " + a1 + ", " + texel + ".a)";
        case D3DTOP_BLENDFACTORALPHA: return "mix(" + a2 + ", " + a1 + ", uFactor.a)";
        case D3DTOP_BLENDTEXTUREALPHAPM: return a1 + " + " + a2 + " * (1.0 - " + texel + ".a)";
        case D3DTOP_BLENDCURRENTALPHA: return "mix(" + a2 + ", " + a1 + ", current.a)";
        case D3DTOP_MODULATEALPHA_ADDCOLOR: return a1 + " + " + alphaOf1 + " * " + a2;
        case D3DTOP_MODULATECOLOR_ADDALPHA: return a1 + " * " + a2 + " + " + alphaOf1;
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return "(1.0 - " + alphaOf1 + ") * " + a2 + " + " + a1;
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA: return "(1.0 - " + a1 + ") * " + a2 + " + " + alphaOf1;
        case D3DTOP_MULTIPLYADD: return a0 + " + " + a1 + " * " + a2;
        case D3DTOP_LERP: return "mix(" + a2 + ", " + a1 + ", " + a0 + ")";
        // PREMODULATE (which reaches into the next stage) and the bump
        // mapping operations, which need states the device does not take,
        // pass the first argument on.
        default: return a1;
    }
}

std::string StageCode(const FixedFunctionKey::Stage& stage, unsigned index) {
    std::string code = "    {\n";
    const std::string c1 = Argument(stage.colourArgs[0], index);
    const std::string c2 = Argument(stage.colourArgs[1], index);
    const std::string c0 = Argument(stage.colourArgs[2], index);
    if (stage.colourOp == D3DTOP_DOTPRODUCT3) {
        // The dot product goes to every channel, alpha too.
        code += "        current = vec4(clamp(4.0 * dot(" + c1 + ".rgb - 0.5, " + c2 + ".rgb - 0.5), 0.0, 1.0));\n";
        return code + "    }\n";
    }
    code += "        vec3 colour = " +
            Operation(stage.colourOp, c1 + ".rgb", c2 + ".rgb", c0 + ".rgb", c1 + ".a", index) + ";\n";
    std::string alpha = "current.a";
    if (stage.alphaOp != D3DTOP_DISABLE) {
        const std::string a1 = Argument(stage.alphaArgs[0], index) + ".a";
        const std::string a2 = Argument(stage.alphaArgs[1], index) + ".a";
        const std::string a0 = Argument(stage.alphaArgs[2], index) + ".a";
        alpha = stage.alphaOp == D3DTOP_DOTPRODUCT3 ? "clamp(4.0 * (" + a1 + " - 0.5) * (" + a2 + " - 0.5), 0.0, 1.0)"
                                                    : Operation(stage.alphaOp, a1, a2, a0, a1, index);
    }
    code += "        float alpha = " + alpha + ";\n";
    code += "        current = clamp(vec4(colour, alpha), 0.0, 1.0);\n";
    return code + "    }\n";
}

std::string TexCoordCode(const FixedFunctionKey& key, const FixedFunctionKey::Stage& stage, unsigned index) {
    const std::string target = "    gl_TexCoord[" + Number(index) + "] = ";
    if (stage.texCoordSet >= key.texCoordSets) return target + "vec4(0.0, 0.0, 0.0, 1.0);\n";
    const std::string set = "aTexCoord" + Number(stage.texCoordSet);
    if (stage.transformCount == 0) return target + set + ";\n";
    // Coordinates the vertex does not give are 1 for the first missing one
    // and 0 after it, so that a 2D set's translation is the matrix's third
    // row.
    std::string expanded;
    switch (key.texCoordFloats[stage.texCoordSet]) {
        case 1: expanded = "vec4(" + set + ".x, 1.0, 0.0, 0.0)"; break;
        case 2: expanded = "vec4(" + set + ".xy, 1.0, 0.0)"; break;
        case 3: expanded = "vec4(" + set + ".xyz, 1.0)"; break;
        default: expanded = set; break;
    }
    std::string code = "    {\n        vec4 transformed = uTextureMatrix" + Number(index) + " * " + expanded + ";\n";
    if (stage.transformProjected) {
        static const char* kLast[] = {"x", "x", "y", "z", "w"};
        code += "        transformed.xy /= transformed." + std::string(kLast[stage.transformCount]) + ";\n";
    }
    return code + "    " + target + "transformed;\n    }\n";
}

std::string VertexSource(const FixedFunctionKey& key) {
    std::string code = "#version 120\nattribute vec4 aPosition;\nattribute vec4 aDiffuse;\nattribute vec4 aSpecular;\n";
    for (unsigned set = 0; set < key.texCoordSets; ++set) code += "attribute vec4 aTexCoord" + Number(set) + ";\n";
    code += "uniform float uDepthBias;\n";
    if (key.pretransformed) {
        code += "uniform vec4 uScreen;\n";
    } else {
        code += "uniform mat4 uWorldViewProjection;\nuniform vec2 uPixel;\n";
    }
    for (unsigned stage = 0; stage < key.stageCount; ++stage)
        if (key.stages[stage].transformCount != 0) code += "uniform mat4 uTextureMatrix" + Number(stage) + ";\n";
    const bool eyeFog = key.fog == FogKind::Exponential || key.fog == FogKind::ExponentialSquared ||
                        key.fog == FogKind::Linear;
    if (eyeFog) code += "uniform mat4 uWorldView;\nuniform vec3 uFog;\n";
    if (key.fog != FogKind::None) code += "varying float vFog;\n";

    code += "void main() {\n";
    if (key.pretransformed) {
        // Screen positions, with the depth as given and 1 / rhw as w so that
        // coordinates are interpolated with perspective.
        code += "    float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;\n"
                "    gl_Position = vec4((aPosition.xy * uScreen.xy + uScreen.zw) * w,\n"
                "                       (2.0 * (aPosition.z + uDepthBias) - 1.0) * w, w);\n";
    } else {
        // Direct3D's clip space: y up, depth from 0 to w, pixel centres half a
        // pixel off OpenGL's; the target's rows are kept top row first.
        code += "    vec4 clip = uWorldViewProjection * aPosition;\n"
                "    gl_Position = vec4(clip.x + clip.w * uPixel.x, clip.w * uPixel.y - clip.y,\n"
                "                       2.0 * (clip.z + uDepthBias * clip.w) - clip.w, clip.w);\n";
    }
    // Colours lie in memory as blue, green, red, alpha.
    code += "    gl_FrontColor = aDiffuse.zyxw;\n    gl_FrontSecondaryColor = aSpecular.zyxw;\n";
    for (unsigned stage = 0; stage < key.stageCount; ++stage)
        if (StageSamples(key.stages[stage])) code += TexCoordCode(key, key.stages[stage], stage);
    switch (key.fog) {
        case FogKind::None: break;
        case FogKind::FromSpecularAlpha:
            code += key.hasSpecular ? "    vFog = aSpecular.w;\n" : "    vFog = 1.0;\n";
            break;
        case FogKind::Exponential:
            code += "    vFog = exp(-uFog.z * abs((uWorldView * aPosition).z));\n";
            break;
        case FogKind::ExponentialSquared:
            code += "    float fogDepth = uFog.z * abs((uWorldView * aPosition).z);\n"
                    "    vFog = exp(-fogDepth * fogDepth);\n";
            break;
        case FogKind::Linear:
            code += "    vFog = (uFog.x - abs((uWorldView * aPosition).z)) * uFog.y;\n";
            break;
    }
    return code + "}\n";
}

std::string FragmentSource(const FixedFunctionKey& key) {
    std::string code = "#version 120\nuniform vec4 uFactor;\n";
    for (unsigned stage = 0; stage < key.stageCount; ++stage)
        if (StageSamples(key.stages[stage])) code += "uniform sampler2D uTexture" + Number(stage) + ";\n";
    if (key.fog != FogKind::None) code += "uniform vec3 uFogColour;\nvarying float vFog;\n";
    if (key.alphaFunction != D3DCMP_ALWAYS) code += "uniform float uAlphaReference;\n";

    code += "void main() {\n"
            "    vec4 diffuse = gl_Color;\n"
            "    vec4 specular = gl_SecondaryColor;\n"
            "    vec4 current = diffuse;\n"
            "    vec4 temp = vec4(0.0);\n";
    for (unsigned stage = 0; stage < key.stageCount; ++stage) {
        if (StageSamples(key.stages[stage]))
            code += "    vec4 texel" + Number(stage) + " = texture2D(uTexture" + Number(stage) + ", gl_TexCoord[" +
                    Number(stage) + "].xy);\n";
        code += StageCode(key.stages[stage], stage);
    }
    if (key.specularSum) code += "    current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    if (key.fog != FogKind::None) code += "    current.rgb = mix(uFogColour, current.rgb, clamp(vFog, 0.0, 1.0));\n";
    if (key.alphaFunction != D3DCMP_ALWAYS) {
        // The test compares whole steps of alpha, as the reference is one.
        static const char* kComparisons[] = {"", "false", "<", "==", "<=", ">", "!=", ">="};
        if (key.alphaFunction == D3DCMP_NEVER) {
            code += "    discard;\n";
        } else {
            code += "    float steps = floor(current.a * 255.0 + 0.5);\n"
                    "    if (!(steps " + std::string(kComparisons[key.alphaFunction]) + " uAlphaReference)) discard;\n";
        }
    }
    return code + "    gl_FragColor = current;\n}\n";
}

}  // namespace

FixedFunctionSources FixedFunctionShaders(const FixedFunctionKey& key) {
    return FixedFunctionSources{VertexSource(key), FragmentSource(key)};
}

}  // namespace platform::d3d9
